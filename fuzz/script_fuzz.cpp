// The gesture-script parser: any text gives steps or a reason naming a line, never a crash.
#include "app/script.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto script = vx::parseScript(vx::fuzz::bytesOf(data, size));
    if (!script) vx::fuzz::require(!script.error().empty());
    return 0;
}
