#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_test_support.h"

namespace vx::plist {
namespace {

using namespace std::string_literals;

// Assembles binary property lists object by object, so that tests can also lie in them.
class BinaryBuilder {
public:
    struct Trailer {
        unsigned offsetSize = 0;
        unsigned refSize = 1;
        std::uint64_t objectCount = 0;
        std::uint64_t root = 0;
        std::uint64_t tableOffset = 0;
    };

    std::uint64_t add(std::string bytes) {
        objects_.push_back(std::move(bytes));
        return objects_.size() - 1;
    }
    // Replaces an object added earlier (to make cycles).
    void replace(std::uint64_t index, std::string bytes) { objects_[index] = std::move(bytes); }

    static std::string bigEndian(std::uint64_t value, unsigned width) {
        std::string out;
        for (unsigned i = width; i-- > 0;)
            out.push_back(i >= 8 ? 0 : static_cast<char>(value >> (8 * i)));
        return out;
    }
    static std::string marker(unsigned type, std::uint64_t count) {
        if (count < 15) return std::string(1, static_cast<char>((type << 4) | count));
        return std::string(1, static_cast<char>((type << 4) | 0xF)) + "\x13" + bigEndian(count, 8);
    }
    static std::string integer(std::int64_t value, unsigned widthLog2 = 3) {
        std::string bytes(1, static_cast<char>(0x10 | widthLog2));
        if (widthLog2 == 4) bytes += bigEndian(value < 0 ? UINT64_MAX : 0, 8);
        return bytes + bigEndian(static_cast<std::uint64_t>(value), std::min(8u, 1u << widthLog2));
    }
    static std::string real(double value) {
        std::uint64_t raw;
        std::memcpy(&raw, &value, 8);
        return "\x23" + bigEndian(raw, 8);
    }
    static std::string ascii(std::string_view text) {
        return marker(0x5, text.size()) + std::string(text);
    }
    static std::string utf16(std::u16string_view text) {
        std::string out = marker(0x6, text.size());
        for (char16_t unit : text) out += bigEndian(unit, 2);
        return out;
    }
    std::string refs(const std::vector<std::uint64_t>& list) const {
        std::string out;
        for (auto ref : list) out += bigEndian(ref, trailer.refSize);
        return out;
    }
    std::string array(const std::vector<std::uint64_t>& list) const {
        return marker(0xA, list.size()) + refs(list);
    }
    std::string dict(const std::vector<std::uint64_t>& keys,
                     const std::vector<std::uint64_t>& values) const {
        return marker(0xD, keys.size()) + refs(keys) + refs(values);
    }

    // The file; `edit` may change the trailer after the true values are filled in.
    std::string build(const std::function<void(Trailer&)>& edit = {}) const {
        std::string file = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const auto& object : objects_) {
            offsets.push_back(file.size());
            file += object;
        }
        Trailer t = trailer;
        t.tableOffset = file.size();
        t.objectCount = objects_.size();
        if (t.offsetSize == 0) t.offsetSize = file.size() < 256 ? 1 : file.size() < 65536 ? 2 : 4;
        if (edit) edit(t);
        for (auto offset : offsets) file += bigEndian(offset, t.offsetSize);
        file += std::string(6, '\0');
        file += static_cast<char>(t.offsetSize);
        file += static_cast<char>(t.refSize);
        file += bigEndian(t.objectCount, 8) + bigEndian(t.root, 8) + bigEndian(t.tableOffset, 8);
        return file;
    }

    Trailer trailer;

private:
    std::vector<std::string> objects_;
};

Result<Value> read(std::string_view bytes) {
    log::Capture quiet;
    return parse(bytes);
}

TEST(PlistBinaryReader, ReadsEveryType) {
    using B = BinaryBuilder;
    B b;
    auto root = b.add("");  // filled in below
    std::vector<std::uint64_t> keys, values;
    Dictionary expected;
    auto entry = [&](const std::string& key, std::string object, Value value) {
        keys.push_back(b.add(B::ascii(key)));
        values.push_back(b.add(std::move(object)));
        expected.set(key, std::move(value));
    };
    entry("i1", B::integer(200, 0), 200);
    entry("i2", B::integer(60000, 1), 60000);
    entry("i4", B::integer(4000000000, 2), std::int64_t{4000000000});
    entry("i8", B::integer(-5, 3), -5);
    entry("i16", B::integer(-7, 4), -7);
    entry("f", "\x22" + B::bigEndian(0x3FC00000, 4), 1.5);  // single precision
    entry("d", B::real(0.1), 0.1);
    entry("date", "\x33" + B::real(1e6).substr(1), Date{1e6});
    entry("data", B::marker(0x4, 3) + "\x00\x01\xFF"s, Data{0, 1, 255});
    entry("long", B::ascii("a string longer than fifteen"), "a string longer than fifteen");
    entry("utf16", B::utf16(u"\u00e9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
    entry("yes", "\x09", true);
    entry("no", "\x08", false);
    auto a = b.add(B::ascii("a"));
    entry("list", b.array({a, a}), Array{"a", "a"});
    entry("i1", B::integer(201, 0), 201);  // a repeated key: the last value wins
    b.replace(root, b.dict(keys, values));
    auto value = read(b.build());
    ASSERT_TRUE(value.ok()) << value.error();
    EXPECT_EQ(test::canonical(value.value()), test::canonical(expected));
}

TEST(PlistBinaryReader, RefusesLyingTrailers) {
    BinaryBuilder b;
    auto one = b.add(BinaryBuilder::integer(1));
    b.add(b.array({one}));
    b.trailer.root = 1;
    ASSERT_TRUE(read(b.build()).ok());
    using T = BinaryBuilder::Trailer;
    const std::pair<const char*, std::function<void(T&)>> lies[] = {
        {"no objects", [](T& t) { t.objectCount = 0; }},
        {"root out of range", [](T& t) { t.root = 2; }},
        {"count 2^63", [](T& t) { t.objectCount = std::uint64_t{1} << 63; }},
        {"table past end", [](T& t) { t.tableOffset = 1000; }},
        {"table in header", [](T& t) { t.tableOffset = 3; }},
        {"offset size 0", [](T& t) { t.offsetSize = 0; }},
        {"offset size 9", [](T& t) { t.offsetSize = 9; }},
        {"ref size 0", [](T& t) { t.refSize = 0; }},
        {"more objects than table", [](T& t) { t.objectCount = 3; }},
    };
    for (const auto& [name, lie] : lies) EXPECT_FALSE(read(b.build(lie)).ok()) << name;
    // Widths too narrow for the object count or the file's length.
    BinaryBuilder many;
    for (int i = 0; i < 300; ++i) many.add(BinaryBuilder::integer(i));
    auto narrowRefs = read(many.build());
    ASSERT_FALSE(narrowRefs.ok());
    EXPECT_NE(narrowRefs.error().find("reference size too narrow"), std::string::npos);
    many.trailer.refSize = 2;
    EXPECT_TRUE(read(many.build()).ok());
    auto narrowOffsets = read(many.build([](T& t) { t.offsetSize = 1; }));
    ASSERT_FALSE(narrowOffsets.ok());
    EXPECT_NE(narrowOffsets.error().find("offset size too narrow"), std::string::npos);
    // An offset that points into the offset table.
    BinaryBuilder c;
    c.add(BinaryBuilder::integer(1));
    std::string file = c.build();
    file[file.size() - 33] = static_cast<char>(file.size() - 33);
    EXPECT_FALSE(read(file).ok());
    EXPECT_FALSE(read("bplist00").ok());
    EXPECT_FALSE(read(std::string("bplist00") + std::string(40, '\0')).ok());
    // Off by one at the edges: a reference equal to the object count, whose offset would
    // come from the trailer's unused first byte (here the offset of a valid object), and an
    // object at the offset table's own offset, whose first byte 0x09 would read as true.
    BinaryBuilder edge;
    edge.add(BinaryBuilder::integer(1));
    edge.add(edge.array({2}));
    edge.trailer.root = 1;
    std::string pastCount = edge.build();
    pastCount[pastCount.size() - 32] = 8;
    EXPECT_FALSE(read(pastCount).ok());
    BinaryBuilder lone;
    lone.add("\x08");
    std::string atTable = lone.build();
    ASSERT_TRUE(read(atTable).ok());
    atTable[atTable.size() - 33] = 9;
    EXPECT_FALSE(read(atTable).ok());
}

TEST(PlistBinaryReader, RefusesCyclesButAcceptsSharing) {
    BinaryBuilder b;
    auto self = b.add("");
    b.replace(self, b.array({self}));
    auto cyclic = read(b.build());
    EXPECT_FALSE(cyclic.ok());
    EXPECT_NE(cyclic.error().find("contains itself"), std::string::npos);
    // dict -> array -> dict (the root) again, through a value.
    BinaryBuilder d;
    auto root = d.add("");
    auto key = d.add(BinaryBuilder::ascii("k"));
    auto list = d.add(d.array({root}));
    d.replace(root, d.dict({key}, {list}));
    EXPECT_FALSE(read(d.build()).ok());
    // The same array twice in one parent is not a cycle.
    BinaryBuilder s;
    auto leaf = s.add(BinaryBuilder::integer(3));
    auto shared = s.add(s.array({leaf}));
    s.add(s.array({shared, shared}));
    s.trailer.root = 2;
    EXPECT_EQ(read(s.build()).value(), Value(Array{Array{3}, Array{3}}));
}

TEST(PlistBinaryReader, LimitsDepthAndExpansion) {
    auto chain = [](int depth) {
        BinaryBuilder b;
        b.trailer.refSize = 2;
        std::uint64_t inner = b.add(b.array({}));
        for (int i = 1; i < depth; ++i) inner = b.add(b.array({inner}));
        b.trailer.root = inner;
        return b.build();
    };
    EXPECT_TRUE(read(chain(kMaxDepth)).ok());
    EXPECT_FALSE(read(chain(kMaxDepth + 1)).ok());
    EXPECT_FALSE(read(chain(20000)).ok());
    // Each level refers twice to the next: 2^60 leaves from a few hundred bytes.
    BinaryBuilder laughs;
    std::uint64_t level = laughs.add(BinaryBuilder::ascii("lol"));
    for (int i = 0; i < 60; ++i) level = laughs.add(laughs.array({level, level}));
    laughs.trailer.root = level;
    auto bomb = read(laughs.build());
    EXPECT_FALSE(bomb.ok());
    EXPECT_NE(bomb.error().find("size limit"), std::string::npos);
}

TEST(PlistBinaryReader, RefusesWhatTheValueTypeCannotHoldOrTheFileDoesNot) {
    const std::pair<const char*, std::string> bad[] = {
        {"null", "\x00"s},
        {"fill", "\x0F"},
        {"uid", "\x80\x01"},
        {"set", "\xC0"},
        {"int beyond 64 bits", "\x14" + BinaryBuilder::bigEndian(1, 8) + BinaryBuilder::bigEndian(0, 8)},
        {"unsigned 2^63",
         "\x14" + BinaryBuilder::bigEndian(0, 8) + BinaryBuilder::bigEndian(1ull << 63, 8)},
        {"int width 32", "\x15"},
        {"truncated integer", "\x13\x00\x01"s},
        {"non-ASCII in ASCII string", "\x52\x41\xE9"},
        {"unpaired surrogate", "\x61\xD8\x00"s},
        {"lone low surrogate", "\x62\xDC\x00\x00\x41"s},
    };
    for (const auto& [name, object] : bad) {
        BinaryBuilder b;
        b.add(object);
        EXPECT_FALSE(read(b.build()).ok()) << name;
    }
    // Data, strings and containers that claim more than the file holds.
    for (unsigned type : {0x4u, 0x5u, 0x6u, 0xAu, 0xDu}) {
        for (std::uint64_t count : {std::uint64_t{1} << 62, std::uint64_t{UINT64_MAX}}) {
            BinaryBuilder b;
            b.add(BinaryBuilder::marker(type, count) + "xyz");
            EXPECT_FALSE(read(b.build()).ok()) << type << " " << count;
        }
    }
    BinaryBuilder numberKey;
    auto key = numberKey.add(BinaryBuilder::integer(1));
    numberKey.add(numberKey.dict({key}, {key}));
    numberKey.trailer.root = 1;
    EXPECT_FALSE(read(numberKey.build()).ok());
    // parseBinary refuses XML, parseXml refuses binary; parse picks by the header.
    log::Capture quiet;
    EXPECT_FALSE(parseBinary("<plist><true/></plist>").ok());
    EXPECT_FALSE(parseXml(numberKey.build()).ok());
}

}  // namespace
}  // namespace vx::plist
