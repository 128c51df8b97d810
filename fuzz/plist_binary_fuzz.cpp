// The binary property-list reader: any bytes give a value or a reason (no unbounded
// allocation, recursion or cycle), and a value survives the XML writer. The input is read
// as it is and with the "bplist00" magic put in front, so mutations need not find it.
#include "fuzz_support.h"
#include "platform/foundation/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    std::string_view bytes = vx::fuzz::bytesOf(data, size);
    if (auto value = vx::plist::parseBinary(bytes)) vx::fuzz::requireRoundTrip(*value);
    if (auto value = vx::plist::parseBinary("bplist00" + std::string(bytes)))
        vx::fuzz::requireRoundTrip(*value);
    return 0;
}
