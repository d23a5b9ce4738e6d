#include "ReadHelpers.h"

#include "classfile/ByteReader.h"

#include <gtest/gtest.h>

#include <sstream>

using classfile::ByteReader;

namespace {

/// A stream buffer that cannot seek, like a pipe: the reader cannot learn
/// how much input is left.
struct PipeBuf : std::stringbuf {
    using std::stringbuf::stringbuf;
    pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override {
        return pos_type(-1);
    }
};

// The offsets count from where the stream stood when the reader was made.
TEST(ByteReader, ReadsBigEndianValuesAndCountsOffsets) {
    std::istringstream in(std::string("skip\x81\x01\x02\xFE\xDC\xBA\x98\x00\x00\x00\x01"
                                      "\xFF\xFF\xFF\xFFtail",
                                      23));
    in.seekg(4);
    {
        ByteReader r(in);
        EXPECT_EQ(r.remaining(), 19u);
        EXPECT_EQ(r.u1(), 0x81);
        EXPECT_EQ(r.u2(), 0x0102);
        EXPECT_EQ(r.u4(), 0xFEDCBA98u);
        EXPECT_EQ(r.u8(), 0x00000001FFFFFFFFull);
        EXPECT_EQ(r.offset(), 15u);
        std::string s;
        r.string(s, 4);
        EXPECT_EQ(s, "tail");
        EXPECT_EQ(r.remaining(), 0u);
    }
    // The stream stands where the reader stopped once the reader is gone.
    EXPECT_EQ(in.tellg(), 23);
}

TEST(ByteReader, EndOfInputNamesTheOffsetAndWhatWasMissing) {
    char block[10];
    std::vector<uint8_t> bytes;
    const std::pair<std::function<void(ByteReader&)>, const char*> cases[] = {
        {[](ByteReader& r) { r.u4(); }, "at offset 3: 1 more byte needed, 0 left"},
        {[&](ByteReader& r) { r.block(block, 10); }, "at offset 2: 10 more bytes needed, 1 left"},
        {[&](ByteReader& r) { r.bytes(bytes, 0xFFFFFFFF); },
         "at offset 2: 4294967295 more bytes needed, 1 left"},
    };
    for (const auto& c : cases) {
        std::istringstream in(std::string("abc"));
        ByteReader r(in);
        r.u2();
        cftest::expectFailure([&] { c.first(r); },
                              std::string("unexpected end of input ") + c.second);
    }
    std::istream none(nullptr); // no stream buffer at all
    EXPECT_THROW(ByteReader r(none), std::runtime_error);
}

TEST(ByteReader, CapacityNeverExceedsWhatTheInputCanHold) {
    std::istringstream in(std::string(100, 'x'));
    ByteReader r(in);
    EXPECT_EQ(r.capacityFor(65535, 10), 10u);
    EXPECT_EQ(r.capacityFor(3, 10), 3u);
    EXPECT_EQ(r.capacityFor(65535, 0), 100u);

    PipeBuf pipe("x");
    std::istream piped(&pipe);
    ByteReader unknown(piped);
    EXPECT_EQ(unknown.remaining(), UINT64_MAX);
    EXPECT_EQ(unknown.capacityFor(65535, 1), 1024u);
    EXPECT_EQ(unknown.capacityFor(5, 1), 5u);
}

TEST(ByteReader, UnknownLengthInputGrowsOnlyAsBytesArrive) {
    // 200 KiB claimed, 100 KiB present, from a stream that cannot tell.
    PipeBuf pipe(std::string(100 * 1024, 'z'));
    std::istream piped(&pipe);
    ByteReader r(piped);
    std::vector<uint8_t> v;
    cftest::expectFailure([&] { r.bytes(v, 200 * 1024); },
                          "unexpected end of input at offset 102400: 28672 more bytes needed");
    EXPECT_LE(v.capacity(), 200u * 1024);
}

} // namespace
