// The binary property-list reader ("bplist0?"). Trusts nothing in the file: the trailer is
// checked before use, every count is checked against the bytes that are there before
// anything is allocated for it, references that lead back into their own container are
// refused, nesting is capped at kMaxDepth, and shared references cannot make the result
// grow without bound (node and byte budgets tied to the file's length).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_detail.h"

namespace vx::plist {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;
// Room reserved up front for a container, whatever its claimed count; it grows from there.
constexpr std::size_t kMaxReserve = 1024;
// Bytes of strings and data that shared references may add beyond the file's own length.
constexpr std::size_t kSharedBytesAllowance = 16u * 1024u * 1024u;

std::uint64_t readBigEndian(const unsigned char* p, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = (value << 8) | p[i];
    return value;
}

class BinaryReader {
public:
    explicit BinaryReader(std::string_view bytes)
        : bytes_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

    Result<Value> run() {
        if (!readTrailer()) return failure();
        onPath_.assign(objectCount_, false);
        nodeBudget_ = size_;
        byteBudget_ = size_ * 16 + kSharedBytesAllowance;
        Value root;
        if (!parseObject(rootObject_, root, 0)) return failure();
        return root;
    }

private:
    bool error(std::string reason) {
        if (error_.empty()) error_ = "binary property list: " + std::move(reason);
        return false;
    }
    Error failure() const { return vx::fail(error_); }

    bool readTrailer() {
        if (size_ < kHeaderSize + kTrailerSize + 2) return error("file too short");
        if (std::memcmp(bytes_, "bplist0", 7) != 0) return error("no bplist0 header");
        const unsigned char* trailer = bytes_ + size_ - kTrailerSize;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        objectCount_ = readBigEndian(trailer + 8, 8);
        rootObject_ = readBigEndian(trailer + 16, 8);
        tableOffset_ = readBigEndian(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8) return error("bad offset size in trailer");
        if (refSize_ < 1 || refSize_ > 8) return error("bad reference size in trailer");
        if (objectCount_ < 1) return error("no objects");
        if (rootObject_ >= objectCount_) return error("root object out of range");
        std::uint64_t tableLimit = size_ - kTrailerSize;
        if (tableOffset_ < kHeaderSize + 1 || tableOffset_ >= tableLimit)
            return error("offset table outside the file");
        if (objectCount_ > (tableLimit - tableOffset_) / offsetSize_)
            return error("offset table runs past the trailer");
        if (offsetSize_ < 8 && (tableOffset_ >> (8 * offsetSize_)) != 0)
            return error("offset size too narrow for the file");
        if (refSize_ < 8 && ((objectCount_ - 1) >> (8 * refSize_)) != 0)
            return error("reference size too narrow for the object count");
        return true;
    }

    bool objectOffset(std::uint64_t ref, std::uint64_t& offset) {
        offset = readBigEndian(bytes_ + tableOffset_ + ref * offsetSize_, offsetSize_);
        if (offset < kHeaderSize || offset >= tableOffset_)
            return error("object " + std::to_string(ref) + " lies outside the object area");
        return true;
    }

    // Bytes between `from` and the offset table, where an object's contents must fit.
    std::uint64_t roomFrom(std::uint64_t from) const {
        return from <= tableOffset_ ? tableOffset_ - from : 0;
    }

    // The element count of a data, string or container object: in the marker's low nibble,
    // or (0xF) in an integer object that follows it.
    bool readCount(std::uint64_t offset, unsigned info, std::uint64_t& count, std::uint64_t& start) {
        if (info != 0xF) {
            count = info;
            start = offset + 1;
            return true;
        }
        if (roomFrom(offset + 1) < 1) return error("truncated count");
        unsigned marker = bytes_[offset + 1];
        if ((marker >> 4) != 0x1 || (marker & 0xF) > 3) return error("bad count marker");
        std::size_t width = std::size_t{1} << (marker & 0xF);
        if (roomFrom(offset + 2) < width) return error("truncated count");
        count = readBigEndian(bytes_ + offset + 2, width);
        start = offset + 2 + width;
        return true;
    }

    bool spend(std::uint64_t bytes) {
        if (bytes > byteBudget_) return error("shared references expand beyond the size limit");
        byteBudget_ -= bytes;
        return true;
    }

    bool parseObject(std::uint64_t ref, Value& out, int depth) {
        if (nodeBudget_ == 0) return error("shared references expand beyond the size limit");
        --nodeBudget_;
        std::uint64_t offset;
        if (!objectOffset(ref, offset)) return false;
        unsigned marker = bytes_[offset];
        unsigned info = marker & 0xF;
        switch (marker >> 4) {
            case 0x0:
                if (info == 0x8 || info == 0x9) {
                    out = Value(info == 0x9);
                    return true;
                }
                return error("null and fill objects are not supported");
            case 0x1: return parseInteger(offset, info, out);
            case 0x2: return parseReal(offset, info, out);
            case 0x3:
                if (info != 0x3 || roomFrom(offset + 1) < 8) return error("bad date object");
                out = Value(plist::Date{readDouble(offset + 1)});
                return true;
            case 0x4: return parseData(offset, info, out);
            case 0x5: return parseAsciiString(offset, info, out);
            case 0x6: return parseUtf16String(offset, info, out);
            case 0xA: return parseArray(ref, offset, info, out, depth + 1);
            case 0xD: return parseDictionary(ref, offset, info, out, depth + 1);
            default:
                return error("unsupported object marker " + std::to_string(marker) +
                             " (UIDs and sets are not supported)");
        }
    }

    double readDouble(std::uint64_t offset) const {
        std::uint64_t raw = readBigEndian(bytes_ + offset, 8);
        double value;
        std::memcpy(&value, &raw, 8);
        return value;
    }

    bool parseInteger(std::uint64_t offset, unsigned info, Value& out) {
        if (info > 4) return error("bad integer width");
        std::size_t width = std::size_t{1} << info;
        if (roomFrom(offset + 1) < width) return error("truncated integer");
        const unsigned char* p = bytes_ + offset + 1;
        if (width < 8) {
            out = Value(static_cast<std::int64_t>(readBigEndian(p, width)));
        } else if (width == 8) {
            out = Value(static_cast<std::int64_t>(readBigEndian(p, 8)));
        } else {
            // 128-bit: accepted when it fits 64 bits signed.
            std::uint64_t high = readBigEndian(p, 8);
            std::uint64_t low = readBigEndian(p + 8, 8);
            bool negative = (low >> 63) != 0;
            if (high != (negative ? UINT64_MAX : 0)) return error("integer beyond 64 bits");
            out = Value(static_cast<std::int64_t>(low));
        }
        return true;
    }

    bool parseReal(std::uint64_t offset, unsigned info, Value& out) {
        if (info == 2 && roomFrom(offset + 1) >= 4) {
            auto raw = static_cast<std::uint32_t>(readBigEndian(bytes_ + offset + 1, 4));
            float value;
            std::memcpy(&value, &raw, 4);
            out = Value(static_cast<double>(value));
            return true;
        }
        if (info == 3 && roomFrom(offset + 1) >= 8) {
            out = Value(readDouble(offset + 1));
            return true;
        }
        return error("bad real object");
    }

    bool parseData(std::uint64_t offset, unsigned info, Value& out) {
        std::uint64_t count, start;
        if (!readCount(offset, info, count, start)) return false;
        if (count > roomFrom(start)) return error("data runs past the object area");
        if (!spend(count)) return false;
        out = Value(Data(bytes_ + start, bytes_ + start + count));
        return true;
    }

    bool parseAsciiString(std::uint64_t offset, unsigned info, Value& out) {
        std::uint64_t count, start;
        if (!readCount(offset, info, count, start)) return false;
        if (count > roomFrom(start)) return error("string runs past the object area");
        if (!spend(count)) return false;
        const unsigned char* p = bytes_ + start;
        for (std::uint64_t i = 0; i < count; ++i)
            if (p[i] >= 0x80) return error("non-ASCII byte in an ASCII string");
        out = Value(std::string(reinterpret_cast<const char*>(p), count));
        return true;
    }

    bool parseUtf16String(std::uint64_t offset, unsigned info, Value& out) {
        std::uint64_t count, start;
        if (!readCount(offset, info, count, start)) return false;
        if (count > roomFrom(start) / 2) return error("string runs past the object area");
        if (!spend(count * 3)) return false;
        const unsigned char* p = bytes_ + start;
        std::string text;
        text.reserve(count * 3);
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint32_t unit = (p[2 * i] << 8) | p[2 * i + 1];
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
                std::uint32_t next = (p[2 * i + 2] << 8) | p[2 * i + 3];
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    detail::appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF) return error("unpaired surrogate in a string");
            detail::appendUtf8(text, unit);
        }
        out = Value(std::move(text));
        return true;
    }

    bool readReference(std::uint64_t at, std::uint64_t& ref) {
        ref = readBigEndian(bytes_ + at, refSize_);
        if (ref >= objectCount_) return error("reference out of range");
        return true;
    }

    // Marks a container as being read; a reference back to it is a cycle.
    bool enter(std::uint64_t ref, int depth) {
        if (depth > kMaxDepth)
            return error("more than " + std::to_string(kMaxDepth) + " nested containers");
        if (onPath_[ref]) return error("object " + std::to_string(ref) + " contains itself");
        onPath_[ref] = true;
        return true;
    }

    bool parseArray(std::uint64_t ref, std::uint64_t offset, unsigned info, Value& out, int depth) {
        std::uint64_t count, start;
        if (!readCount(offset, info, count, start)) return false;
        if (count > roomFrom(start) / refSize_) return error("array runs past the object area");
        if (!enter(ref, depth)) return false;
        Array array;
        array.reserve(std::min<std::uint64_t>(count, kMaxReserve));
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint64_t child;
            if (!readReference(start + i * refSize_, child)) return false;
            array.emplace_back();
            if (!parseObject(child, array.back(), depth)) return false;
        }
        onPath_[ref] = false;
        out = Value(std::move(array));
        return true;
    }

    bool parseDictionary(std::uint64_t ref, std::uint64_t offset, unsigned info, Value& out, int depth) {
        std::uint64_t count, start;
        if (!readCount(offset, info, count, start)) return false;
        if (count > roomFrom(start) / refSize_ / 2) return error("dictionary runs past the object area");
        if (!enter(ref, depth)) return false;
        std::vector<Dictionary::Entry> entries;
        entries.reserve(std::min<std::uint64_t>(count, kMaxReserve));
        std::uint64_t valuesStart = start + count * refSize_;
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint64_t keyRef, valueRef;
            if (!readReference(start + i * refSize_, keyRef) ||
                !readReference(valuesStart + i * refSize_, valueRef))
                return false;
            Value key;
            if (!parseObject(keyRef, key, depth)) return false;
            if (!key.isString()) return error("dictionary key is not a string");
            entries.emplace_back(key.string(), Value());
            if (!parseObject(valueRef, entries.back().second, depth)) return false;
        }
        onPath_[ref] = false;
        out = Value(Dictionary::fromEntries(std::move(entries)));
        return true;
    }

    const unsigned char* bytes_;
    std::size_t size_;
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t rootObject_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::vector<bool> onPath_;
    std::uint64_t nodeBudget_ = 0;
    std::uint64_t byteBudget_ = 0;
    std::string error_;
};

}  // namespace

namespace detail {

Result<Value> parseBinaryUnlogged(std::string_view bytes) { return BinaryReader(bytes).run(); }

}  // namespace detail

}  // namespace vx::plist
