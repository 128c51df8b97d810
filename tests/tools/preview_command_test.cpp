// veltrix-settings preview: the folder any browser opens, and the PNG drawn by Chromium.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class PreviewCommand : public test::DemoDeviceTest {
protected:
    fs::path out(const char* name) const { return scratch() / name; }
    std::string quoted(const char* name) const { return test::shellQuoted(out(name).string()); }
};

TEST_F(PreviewCommand, HtmlWritesASelfContainedFolderAndPngIsDrawnByChromium) {
    ASSERT_EQ(runScript("tap Themes\ntap Battery\ntap Quote\ntap Shortcuts\n", ""), 0) << errors();
    ASSERT_EQ(program("prefs write ThemeOptions -string x"), 0)
        << errors();  // no dictionary: no options
    ASSERT_EQ(program("preview --html " + quoted("site")), 0) << errors();

    const std::string index = test::readHostFile(out("site") / "index.html");
    EXPECT_NE(index.find("\"src\":\"themes/1/Widget.html\""), std::string::npos) << index;
    EXPECT_NE(index.find("\"kind\":\"plugin\",\"name\":\"Shortcuts\""), std::string::npos) << index;
    EXPECT_TRUE(fs::is_regular_file(out("site") / "preview.js"));
    const std::string battery = test::readHostFile(out("site") / "themes" / "1" / "Widget.html");
    EXPECT_EQ(battery.rfind("<!DOCTYPE html>\n<html>\n<head><meta charset=\"utf-8\">", 0), 0u)
        << battery;

    // Its own earlier folder is replaced; any other folder that is not empty is left alone.
    ASSERT_EQ(program("preview --html " + quoted("site")), 0) << errors();
    test::writeHostFile(out("mine") / "notes.txt", "keep");
    EXPECT_EQ(program("preview --html " + quoted("mine")), 1);
    EXPECT_NE(errors().find("is not empty"), std::string::npos) << errors();
    EXPECT_EQ(test::readHostFile(out("mine") / "notes.txt"), "keep");
    EXPECT_FALSE(fs::exists(out("mine") / "index.html"));
    EXPECT_EQ(program("preview"), 2);
    EXPECT_EQ(program("preview --html a --png b"), 2);

    EXPECT_EQ(shell("VELTRIX_CHROMIUM=/nonexistent/chromium " + test::programOn(device()) +
                    " preview --png " + quoted("shot.png")),
              1);
    EXPECT_NE(errors().find("needs Chromium, and /nonexistent/chromium is missing"), std::string::npos)
        << errors();
    ASSERT_EQ(program("preview --png " + quoted("shot.png") + " --width 200 --height 300"), 0)
        << errors();
    const std::string png = test::readHostFile(out("shot.png"));
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto bigEndian = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = at; i < at + 4; ++i)
            value = value << 8 | static_cast<unsigned char>(png[i]);
        return value;
    };
    EXPECT_EQ(bigEndian(16), 200u);  // the header's width and height
    EXPECT_EQ(bigEndian(20), 300u);
}

}  // namespace
}  // namespace vx
