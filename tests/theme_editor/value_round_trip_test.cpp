// Values round-trip from a settings script to the theme: optimisation, then the
// declaration lines, give a JavaScript engine (node) the values the script declared.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/foundation/log.h"
#include "support/demo_device.h"
#include "support/temp_dir.h"
#include "theme_editor/optimisation.h"
#include "theme_editor/variable_writing.h"

namespace vx {
namespace {

using nlohmann::json;

// Scripts whose double-quoted values hold no escaped quote; every value is a string, a
// number or a boolean, which the lines carry as the same text. The demo device's settings
// script is checked too.
const char* const kScripts[] = {
    R"(var degree = "\u00B0"; var lines = "Line1\nLine2"; var dir = "C:\\dir";)",
    R"(var controls = "\t\b\f\v\0 \x41 \u{1F600} \uD83D\uDE00 \r";)",
    "var joined = \"ab\\\ncd\"; var crlf = \"ab\\\r\ncd\";",
    R"(var octal = "\101\7\08\477\8"; var other = "\q\'\é\/";)",
    "var raw = \"gr\xC3\xBC\xC3\x9F"
    "e \xF0\x9F\x98\x80 </script> \xE2\x80\xA8 end\";",
    R"(var size = 12; var ratio = 0.5; var on = true; var off = "false";)",
};

json caseOf(const std::string& script, const OptionsList& entries) {
    json names = json::array();
    for (const OptionsEntry& entry : entries) names.push_back(entryText(entry, kEntryName));
    log::Capture quiet;
    return json{{"script", script}, {"lines", declarationLines(entries)}, {"names", names}};
}

TEST(ValuesReachTheTheme, AsTheSettingsScriptDeclaredThem) {
    test::TempDir scratch;
    if (test::runShell("command -v node", scratch.path()).status != 0)
        GTEST_SKIP() << "node is not installed";
    json cases = json::array();
    std::vector<std::string> scripts(std::begin(kScripts), std::end(kScripts));
    scripts.push_back(
        test::readHostFile(std::filesystem::path(VX_SOURCE_DIR) /
                           "examples/device/var/mobile/Library/Veltrix/Clock.veltrix/config.js"));
    for (const std::string& script : scripts)
        cases.push_back(caseOf(script, extractOptions(script).entries));
    // A switch without a usable default is written as false, never as "var x = ;".
    cases.push_back(
        caseOf("var missing = false; var blank = false; var number = false;",
               {OptionsEntry{{"name", plist::Value("missing")}, {"type", plist::Value("switch")}},
                OptionsEntry{{"name", plist::Value("blank")},
                             {"type", plist::Value("switch")},
                             {"default", plist::Value(" ")}},
                OptionsEntry{{"name", plist::Value("number")},
                             {"type", plist::Value("switch")},
                             {"default", plist::Value(3)}}}));
    test::writeHostFile(scratch.path() / "cases.json", cases.dump());
    const auto checker = std::filesystem::path(VX_SOURCE_DIR) / "tests/theme_editor/declared_values.js";
    test::ProgramRun node = test::runShell(
        "node " + test::shellQuoted(checker.string()) + " " +
            test::shellQuoted((scratch.path() / "cases.json").string()),
        scratch.path());
    ASSERT_EQ(node.status, 0) << node.err;
    json results = json::parse(node.out);
    ASSERT_EQ(results.size(), cases.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(cases[i]["script"].get<std::string>());
        ASSERT_FALSE(results[i].contains("error")) << results[i]["error"] << "\n"
                                                   << cases[i]["lines"].dump();
        EXPECT_EQ(results[i].size(), cases[i]["names"].size());
        for (const auto& [name, both] : results[i].items()) EXPECT_EQ(both[0], both[1]) << name;
    }
}

}  // namespace
}  // namespace vx
