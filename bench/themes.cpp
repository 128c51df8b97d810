// The theme list at 100, 1,000 and 10,000 themes, with a preferences file of about 160 KB
// (50 selected themes, their coordinates and option lines).
//
//   Scan          the page's creation: the six folder switches read, the folders listed,
//                 each entry's HTML files looked for, the theme map and table built
//   AllRows       one reload of the table: every row built with its check mark
//   ScanAndRows   both, as the user meets them when opening the list
//   OneParse      one fresh parse of the preferences file
//
// Targets: ScanAndRows <= 3 x (Scan + OneParse): the rows must not parse the file each; the
// rows linear in the number of themes: AllRows at 10,000 <= 12 x AllRows at 1,000. The
// closing table shows both.
// The cache's clock runs ten seconds ahead so the file counts as settled and the cached
// read may keep it, as it would on a device a moment after the last save.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/preferences_store.h"
#include "recording_reporter.h"
#include "settings/preferences_file.h"
#include "themes/lock_theme_view_controller.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;

constexpr std::size_t kPreferencesBytes = 160 * 1024;

std::string entryName(int i) { return "Theme " + std::to_string(i) + ".theme"; }

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// 50 selected themes (every other one exists in the folder), then option lines until the
// file reaches the size.
std::string makePreferences() {
    plist::Array selected;
    plist::Dictionary coordinates;
    plist::Dictionary options;
    for (int t = 0; t < 50; ++t) {
        std::string name = "Theme " + std::to_string(t * 2);
        std::string path = "/Library/Themes/" + entryName(t * 2);
        selected.push_back(plist::Dictionary{{"name", name}, {"path", path}, {"html", "Widget.html"}});
        coordinates.set(name, plist::Dictionary{{"widgetX", "12.5"}, {"widgetY", t}});
    }
    std::string xml;
    for (int line = 0;; ++line) {
        std::string path = "/Library/Themes/" + entryName(line % 50);
        plist::Value* lines = options.find(path);
        if (!lines) {
            options.set(path, plist::Array{});
            lines = options.find(path);
        }
        lines->array().push_back("var option" + std::to_string(line) + " = \"rgba(12, 34, 56, 0.5)\" ;");
        if (line % 50 != 49) continue;
        plist::Dictionary preferences{{"ThemesSelected", selected},
                                      {"WidgetCoordinates", coordinates},
                                      {"ThemeOptions", options},
                                      {"enabled", true}};
        xml = plist::writeXml(plist::Value(preferences));
        if (xml.size() >= kPreferencesBytes) return xml;
    }
}

// One device root per theme count, made on first use and kept for the run.
class Devices {
public:
    ~Devices() {
        std::error_code ignored;
        fs::remove_all(base_, ignored);
    }
    void use(int themes) {
        auto found = roots_.find(themes);
        if (found == roots_.end()) found = roots_.emplace(themes, make(themes)).first;
        DeviceRoot::setCurrent(found->second);
    }

private:
    fs::path make(int themes) {
        fs::path root = base_ / std::to_string(themes);
        for (int i = 0; i < themes; ++i)
            writeFile(DeviceRoot::resolveIn(root, "/Library/Themes/" + entryName(i) + "/Widget.html"),
                      "<html></html>");
        writeFile(DeviceRoot::resolveIn(root, kPreferencesPath), preferences_);
        return root;
    }
    fs::path base_ = fs::temp_directory_path() / ("vx-bench-themes-" + std::to_string(::getpid()));
    std::string preferences_ = makePreferences();
    std::map<int, fs::path> roots_;
};

Devices& devices() {
    static Devices shared;
    return shared;
}

void settleCacheClock() {
    setPlistCacheClockForTesting([] {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        now.tv_sec += 10;
        return now;
    });
}

void Scan(benchmark::State& state) {
    devices().use(static_cast<int>(state.range(0)));
    settleCacheClock();
    for (auto _ : state) {
        auto page = LockThemeViewController::initForContentSize({320, 480});
        benchmark::DoNotOptimize(page->dict().size());
    }
}

void AllRows(benchmark::State& state) {
    devices().use(static_cast<int>(state.range(0)));
    settleCacheClock();
    auto page = LockThemeViewController::initForContentSize({320, 480});
    const std::size_t before = plistCacheParseCount();
    for (auto _ : state) {
        page->tblView()->reloadData();
        benchmark::DoNotOptimize(page->tblView()->numberOfRowsInSection(0));
    }
    state.counters["parses"] = static_cast<double>(plistCacheParseCount() - before);
}

void ScanAndRows(benchmark::State& state) {
    devices().use(static_cast<int>(state.range(0)));
    settleCacheClock();
    for (auto _ : state) {
        auto page = LockThemeViewController::initForContentSize({320, 480});
        page->tblView()->reloadData();
        benchmark::DoNotOptimize(page->tblView()->numberOfRowsInSection(0));
    }
}

void OneParse(benchmark::State& state) {
    devices().use(100);
    state.counters["bytes"] = static_cast<double>(fs::file_size(DeviceRoot::resolve(kPreferencesPath)));
    for (auto _ : state) {
        auto preferences = readPreferences();
        benchmark::DoNotOptimize(preferences);
    }
}

BENCHMARK(Scan)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(AllRows)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanAndRows)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OneParse)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    vx::log::setProgramName("bench_themes");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    vx::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%8s %12s %12s %14s %16s\n", "themes", "rows ms", "us a row", "rows/1,000's",
                "open/(scan+parse)");
    const double rowsAt1000 = reporter.cpu("AllRows/1000");
    const double parse = reporter.cpu("OneParse");
    for (int themes : {100, 1000, 10000}) {
        const std::string arg = "/" + std::to_string(themes);
        const double rows = reporter.cpu("AllRows" + arg);
        std::printf(
            "%8d %12.3f %12.3f %14.2f %16.2f\n", themes, rows * 1e3, rows * 1e6 / themes,
            vx::bench::ratio(rows, rowsAt1000),
            vx::bench::ratio(reporter.cpu("ScanAndRows" + arg), reporter.cpu("Scan" + arg) + parse));
    }
    benchmark::Shutdown();
    return 0;
}
