// libFuzzer entry point for the property-list readers and the XML writer. Any bytes must
// give a value or a reason; a value must survive writing and reading back unchanged.
// The replay test includes this file with VX_FUZZ_REPLAY defined and calls checkPlist.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"

namespace vx::fuzz {

inline int checkPlist(const std::uint8_t* data, std::size_t size) {
    log::Capture quiet;  // failures are expected; keep them off stderr
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto value = plist::parse(bytes);
    if (bytes.size() > 8) (void)plist::parseXml(bytes.substr(8));  // past a binary header
    if (!value) return 0;
    std::string xml = plist::writeXml(*value);
    auto again = plist::parseXml(xml);
    if (!again) std::abort();                        // our own output must read
    if (plist::writeXml(*again) != xml) std::abort();  // and read as written
    return 0;
}

}  // namespace vx::fuzz

#ifndef VX_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vx::fuzz::checkPlist(data, size);
}
#endif
