#pragma once
// A canonical one-line text of a property-list value, the same as the one printed by
// plist_peer.py for Python's reading of a file: types kept apart, keys sorted by bytes,
// strings and data in hex, reals as %.17g, dates as whole seconds since 2001.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/foundation/plist_value.h"

namespace vx::test {

inline std::string hex(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 15]);
    }
    return out;
}

inline std::string canonical(const plist::Value& value) {
    using plist::Value;
    switch (value.type()) {
        case Value::Type::Boolean: return value.boolean() ? "true" : "false";
        case Value::Type::Integer: return "i:" + std::to_string(value.integer());
        case Value::Type::Real: {
            if (std::isnan(value.real())) return "r:nan";
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "%.17g", value.real());
            return std::string("r:") + buffer;
        }
        case Value::Type::String:
            return "s:" + hex(reinterpret_cast<const unsigned char*>(value.string().data()),
                              value.string().size());
        case Value::Type::Date:
            return "d:" +
                   std::to_string(static_cast<long long>(std::floor(value.date().sinceReferenceDate)));
        case Value::Type::Data: return "b:" + hex(value.data().data(), value.data().size());
        case Value::Type::Array: {
            std::string out = "[";
            for (const plist::Value& element : value.array()) {
                if (out.size() > 1) out += ",";
                out += canonical(element);
            }
            return out + "]";
        }
        case Value::Type::Dictionary: {
            std::vector<std::pair<std::string, std::string>> entries;
            for (const auto& [key, element] : value.dictionary())
                entries.emplace_back(hex(reinterpret_cast<const unsigned char*>(key.data()), key.size()),
                                     canonical(element));
            std::sort(entries.begin(), entries.end());
            std::string out = "{";
            for (const auto& [key, element] : entries) {
                if (out.size() > 1) out += ",";
                out.append(key).append("=").append(element);
            }
            return out + "}";
        }
    }
    return "?";
}

}  // namespace vx::test
