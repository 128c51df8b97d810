// Entry points of the property-list codecs: size limit, format choice (binary, XML in
// UTF-8, UTF-16 or a declared encoding, old-style text), one log line for a failure.
#include "platform/foundation/plist_codec.h"

#include <cstring>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_detail.h"

namespace vx::plist {

namespace {

Error refuse(std::string reason) {
    log::write("plist: " + reason);
    return fail(std::move(reason));
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

// Whether the first character after a byte-order mark and blanks is "<" (in UTF-8 or
// UTF-16): an XML document, or old-style data.
bool startsWithAngle(std::string_view bytes) {
    for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (bytes.substr(0, mark.size()) == mark) {
            bytes.remove_prefix(mark.size());
            break;
        }
    }
    for (char c : bytes) {
        if (c == '<') return true;
        if (c != '\0' && c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return false;
}

}  // namespace

Result<Value> parse(std::string_view bytes) {
    if (auto refused = checkSize(bytes)) return *refused;
    if (looksBinary(bytes)) return logged(detail::parseBinaryUnlogged(bytes));
    if (!startsWithAngle(bytes)) return logged(detail::parseOpenStepUnlogged(bytes));
    auto xml = detail::parseXmlUnlogged(bytes);
    if (xml) return xml;
    // "<" also opens old-style data ("<0fbd>"); the XML reason is the one that counts.
    if (auto old = detail::parseOpenStepUnlogged(bytes)) return old;
    return logged(std::move(xml));
}

Result<Value> parseOpenStep(std::string_view bytes) {
    if (auto refused = checkSize(bytes)) return *refused;
    return logged(detail::parseOpenStepUnlogged(bytes));
}

Result<LenientParse> parseLenient(std::string_view bytes) {
    if (bytes.empty()) return fail("property list: no bytes");
    if (bytes.size() > kMaxInputBytes) return fail("property list: over the size limit");
    LenientParse result{VX_TRY(looksBinary(bytes) ? detail::parseBinaryUnlogged(bytes)
                                                  : detail::parseXmlUnlogged(bytes, true)),
                        {}};
    result.repairedKeys = repairText(result.value);
    return result;
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
