// The XML property-list reader: any bytes give a value or a reason, and a value survives the
// writer. The bytes past an eight-byte prefix are tried too, so that binary-looking inputs
// still reach the XML reader.
#include "fuzz_support.h"
#include "platform/foundation/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;  // refusals are expected; keep them off stderr
    std::string_view bytes = vx::fuzz::bytesOf(data, size);
    if (auto value = vx::plist::parseXml(bytes)) vx::fuzz::requireRoundTrip(*value);
    if (bytes.size() > 8) (void)vx::plist::parseXml(bytes.substr(8));
    return 0;
}
