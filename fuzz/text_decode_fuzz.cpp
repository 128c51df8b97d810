// Text decoding (byte-order marks, strict UTF-8, charset detection, Windows-1252): any bytes
// give UTF-8 text or a reason.
#include "fuzz_support.h"
#include "platform/foundation/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    auto decoded = vx::text::decode(vx::fuzz::bytesOf(data, size));
    if (decoded) vx::fuzz::requireUtf8(decoded->text);
    return 0;
}
