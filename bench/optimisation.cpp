// Theme optimisation of a generated settings script of about 10 MB with 100,000 "var"
// declarations (every tenth line is a comment or a statement without "var"), beside a plain
// read of the same file.
//
//   PlainRead         the file's bytes, nothing else
//   ReadScript        the bytes decoded by the platform's text decoding
//   ScanDeclarations  the declaration texts of the decoded text, found by the scanner
//   Extract           the declarations of the decoded text turned into options entries
//   ReadAndExtract    both: what the editor waits for before moving and writing
//   WholeOptimisation read, extract, move the script aside and write "Options.plist"
//
// Throughput is bytes of script per second. Targets: ReadAndExtract >= 100 MB/s and
// WholeOptimisation >= 120 MB/s; the closing table gives each step's rate and its share of
// the plain read's.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "recording_reporter.h"
#include "theme_editor/optimisation.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;

constexpr int kDeclarations = 100'000;
constexpr std::size_t kScriptBytes = 10u * 1000u * 1000u;
constexpr const char* kTheme = "/Library/Themes/Big.theme";
constexpr const char* kScript = "settings.js";

std::string makeScript() {
    std::string script;
    script.reserve(kScriptBytes + 4096);
    const std::size_t perDeclaration = kScriptBytes / kDeclarations;
    for (int i = 0; i < kDeclarations; ++i) {
        const std::size_t start = script.size();
        if (i % 10 == 0) script += "// option group " + std::to_string(i / 10) + ": colours and sizes\n";
        switch (i % 4) {
            case 0: script += "var color" + std::to_string(i) + " = \"#ff7a00\";"; break;
            case 1: script += "var show" + std::to_string(i) + " = true;"; break;
            case 2: script += "var size" + std::to_string(i) + " = 64;"; break;
            default: script += "var greeting" + std::to_string(i) + " = 'Good day, ' + name;"; break;
        }
        // Pad each declaration with ordinary code up to its share of the file.
        script += " document.getElementById('w').style.opacity = 1;";
        while (script.size() - start + 1 < perDeclaration) script += ' ';
        script += '\n';
    }
    return script;
}

class Device {
public:
    Device() {
        char pattern[] = "/tmp/vx-bench-optimisation-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        DeviceRoot::setCurrent(folder_);
        fs::create_directories(DeviceRoot::resolve(kTheme));
        script_ = makeScript();
        restore();
    }
    ~Device() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    // Puts the script back under its own name and removes what optimisation wrote.
    void restore() const {
        std::error_code ignored;
        fs::remove(DeviceRoot::resolve(settingsScriptBackupPath(kTheme, kScript)), ignored);
        fs::remove(DeviceRoot::resolve(optionsFilePath(kTheme)), ignored);
        std::FILE* file = std::fopen(DeviceRoot::resolve(settingsScriptPath(kTheme, kScript)).c_str(),
                                     "wb");
        if (!file) return;
        std::fwrite(script_.data(), 1, script_.size(), file);
        std::fclose(file);
    }
    const std::string& script() const { return script_; }

private:
    fs::path folder_;
    std::string script_;
};

const Device& device() {
    static const Device shared;
    return shared;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * device().script().size()));
}

void PlainRead(benchmark::State& state) {
    const std::string path = settingsScriptPath(kTheme, kScript);
    for (auto _ : state) benchmark::DoNotOptimize(files::readBytes(path));
    setBytes(state);
}

void ReadScript(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readSettingsScript(kTheme, std::string(kScript)));
    setBytes(state);
}

void ScanDeclarations(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(extractDeclarationTexts(device().script()));
    setBytes(state);
}

void Extract(benchmark::State& state) {
    std::size_t entries = 0;
    for (auto _ : state) {
        ExtractedOptions extracted = extractOptions(device().script());
        entries = extracted.entries.size();
        benchmark::DoNotOptimize(extracted);
    }
    state.counters["entries"] = static_cast<double>(entries);
    setBytes(state);
}

void ReadAndExtract(benchmark::State& state) {
    for (auto _ : state) {
        auto script = readSettingsScript(kTheme, std::string(kScript));
        benchmark::DoNotOptimize(extractOptions(std::move(script.value())));
    }
    setBytes(state);
}

void WholeOptimisation(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        device().restore();
        state.ResumeTiming();
        benchmark::DoNotOptimize(optimiseTheme(kTheme, std::string(kScript)));
    }
    device().restore();
    setBytes(state);
}

}  // namespace

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadScript)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanDeclarations)->Unit(benchmark::kMillisecond);
BENCHMARK(Extract)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndExtract)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeOptimisation)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    vx::log::Capture quiet;  // two path lines per optimisation
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    vx::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double megabytes = static_cast<double>(device().script().size()) / 1e6;
    const double plain = reporter.real("PlainRead");
    std::printf("\n%-18s %10s %10s %12s\n", "step", "ms", "MB/s", "read's/this");
    for (const char* step : {"PlainRead", "ReadScript", "ScanDeclarations", "Extract", "ReadAndExtract",
                             "WholeOptimisation"}) {
        const double seconds = reporter.real(step);
        std::printf("%-18s %10.2f %10.1f %12.2f\n", step, seconds * 1e3,
                    vx::bench::ratio(megabytes, seconds), vx::bench::ratio(plain, seconds));
    }
    benchmark::Shutdown();
    return 0;
}
