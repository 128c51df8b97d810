// Entry points of the property-list codecs: size limit, format choice, one log line for
// a failure.
#include "platform/foundation/plist_codec.h"

#include <cstring>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_detail.h"

namespace vx::plist {

namespace {

Error refuse(std::string reason) {
    log::write("plist: " + reason);
    return Error{std::move(reason)};
}

Result<Value> logged(Result<Value> result) {
    if (!result) log::write("plist: " + result.error());
    return result;
}

std::optional<Error> checkSize(std::string_view bytes) {
    if (bytes.empty()) return refuse("property list: no bytes");
    if (bytes.size() > kMaxInputBytes)
        return refuse("property list: " + std::to_string(bytes.size()) + " bytes is over the limit of " +
                      std::to_string(kMaxInputBytes));
    return std::nullopt;
}

bool looksBinary(std::string_view bytes) {
    return bytes.size() >= 7 && std::memcmp(bytes.data(), "bplist0", 7) == 0;
}

}  // namespace

Result<Value> parse(std::string_view bytes) {
    if (auto refused = checkSize(bytes)) return *refused;
    if (looksBinary(bytes)) return logged(detail::parseBinaryUnlogged(bytes));
    return logged(detail::parseXmlUnlogged(bytes));
}

Result<Value> parseXml(std::string_view bytes) {
    if (auto refused = checkSize(bytes)) return *refused;
    return logged(detail::parseXmlUnlogged(bytes));
}

Result<Value> parseBinary(std::string_view bytes) {
    if (auto refused = checkSize(bytes)) return *refused;
    return logged(detail::parseBinaryUnlogged(bytes));
}

}  // namespace vx::plist
