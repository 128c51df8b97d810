// Replays the property-list fuzz corpus and the kept crash inputs through the fuzz entry
// point's checks (an abort fails the test). Each file must also fail or succeed quickly,
// which the corpus of hostile inputs (deep nesting, cycles, shared-reference bombs, lying
// trailers, entity definitions) relies on.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

#define VX_FUZZ_REPLAY
#include "../../../fuzz/plist_fuzz.cpp"

namespace vx::plist {
namespace {

namespace fs = std::filesystem;

std::size_t replayFolder(const fs::path& folder) {
    std::size_t count = 0;
    if (!fs::is_directory(folder)) return count;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::string bytes = test::readHostFile(entry.path());
        SCOPED_TRACE(entry.path().string());
        fuzz::checkPlist(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    return count;
}

TEST(PlistFuzzReplay, CorpusAndKeptCrashesPassTheFuzzChecks) {
    fs::path root = fs::path(VX_SOURCE_DIR) / "fuzz";
    EXPECT_GT(replayFolder(root / "corpus/plist"), 0u);
    EXPECT_GT(replayFolder(root / "regressions/plist"), 0u);
}

}  // namespace
}  // namespace vx::plist
