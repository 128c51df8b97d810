// The old-style text property-list reader: any bytes give a value or a reason, and a value
// survives the XML writer.
#include "fuzz_support.h"
#include "platform/foundation/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    if (auto value = vx::plist::parseOpenStep(vx::fuzz::bytesOf(data, size)))
        vx::fuzz::requireRoundTrip(*value);
    return 0;
}
