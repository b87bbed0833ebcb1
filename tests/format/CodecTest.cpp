#include "format/Codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<unsigned char> randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 engine(seed);
    std::vector<unsigned char> bytes(count);
    for (auto& b : bytes) b = static_cast<unsigned char>(engine());
    return bytes;
}

std::vector<unsigned char> patternBytes(std::size_t count) {
    std::vector<unsigned char> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>((i * 7) % 13);
    return bytes;
}

std::vector<unsigned char> compressed(const std::vector<unsigned char>& source) {
    std::vector<unsigned char> out;
    EXPECT_TRUE(codecCompress(source.data(), source.size(), out));
    return out;
}

}  // namespace

// Files must stay readable by zlib and by every earlier reader, whichever library writes them.
TEST(CodecCompress, WritesStreamsThatZlibInflatesToTheSource) {
    for (const auto& source :
         {patternBytes(50000), randomBytes(70000, 9), std::vector<unsigned char>(1, 7)}) {
        const auto stream = compressed(source);
        std::vector<unsigned char> back(source.size() + 16);
        uLongf length = static_cast<uLongf>(back.size());
        ASSERT_EQ(uncompress(back.data(), &length, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
        back.resize(length);
        EXPECT_EQ(back, source);
    }
#if QVX_CODEC_ZLIB
    // The zlib build writes exactly what zlib's compress writes.
    const auto source = patternBytes(50000);
    std::vector<unsigned char> expected(compressBound(static_cast<uLong>(source.size())));
    uLongf length = static_cast<uLongf>(expected.size());
    ASSERT_EQ(compress(expected.data(), &length, source.data(), static_cast<uLong>(source.size())), Z_OK);
    expected.resize(length);
    EXPECT_EQ(compressed(source), expected);
#endif
}

TEST(CodecInflate, ReadsStreamsThatZlibWroteAtEveryLevel) {
    const auto source = patternBytes(30000);
    for (int level = 1; level <= 9; ++level) {
        std::vector<unsigned char> stream(compressBound(static_cast<uLong>(source.size())));
        uLongf length = static_cast<uLongf>(stream.size());
        ASSERT_EQ(compress2(stream.data(), &length, source.data(), static_cast<uLong>(source.size()), level),
                  Z_OK);
        std::vector<unsigned char> back(source.size());
        std::size_t produced = 0;
        ASSERT_EQ(codecInflate(stream.data(), length, back.data(), back.size(), produced), InflateResult::Ok)
            << level;
        EXPECT_EQ(back, source) << level;
    }
}

TEST(CodecCompress, KeepsTheBytesReservedInFrontOfTheStream) {
    const auto source = patternBytes(1000);
    std::vector<unsigned char> out = {1, 2, 3, 4, 5};
    ASSERT_TRUE(codecCompress(source.data(), source.size(), out, 5));
    EXPECT_EQ(std::vector<unsigned char>(out.begin(), out.begin() + 5),
              (std::vector<unsigned char>{1, 2, 3, 4, 5}));
    EXPECT_EQ(std::vector<unsigned char>(out.begin() + 5, out.end()), compressed(source));
}

TEST(CodecCompress, EmptyInputGivesAStreamThatInflatesToNothing) {
    std::vector<unsigned char> out;
    ASSERT_TRUE(codecCompress(nullptr, 0, out));
    unsigned char sink[1];
    std::size_t produced = 99;
    EXPECT_EQ(codecInflate(out.data(), out.size(), sink, 0, produced), InflateResult::Ok);
    EXPECT_EQ(produced, 0u);
}

// The output is sized from zlib's own worst-case bound, so even data that does not compress
// at all fits; no extra capacity formula is needed.
TEST(CodecCompress, IncompressibleDataFitsTheBound) {
    for (std::size_t size : {std::size_t{7}, std::size_t{1000}, std::size_t{12345}, std::size_t{1} << 20}) {
        const auto source = randomBytes(size, static_cast<unsigned>(size));
        std::vector<unsigned char> out;
        ASSERT_TRUE(codecCompress(source.data(), source.size(), out)) << size;
        EXPECT_LE(out.size(), codecCompressBound(size)) << size;
        EXPECT_GE(codecCompressBound(size), compressBound(static_cast<uLong>(size))) << size;
    }
}

TEST(CodecInflate, RestoresIntoABufferOfKnownOrLargerSizeAndRefusesAShortOne) {
    const auto source = randomBytes(4096, 3);
    auto stream = compressed(source);
    stream.push_back(0xAB);  // bytes after the end of the stream are ignored
    for (std::size_t extra : {std::size_t{0}, std::size_t{100}}) {
        std::vector<unsigned char> back(source.size() + extra);
        std::size_t produced = 0;
        ASSERT_EQ(codecInflate(stream.data(), stream.size(), back.data(), back.size(), produced),
                  InflateResult::Ok);
        EXPECT_EQ(produced, source.size());
        EXPECT_TRUE(std::equal(source.begin(), source.end(), back.begin()));
    }
    std::vector<unsigned char> back(source.size() - 1);
    std::size_t produced = 0;
    EXPECT_EQ(codecInflate(stream.data(), stream.size(), back.data(), back.size(), produced),
              InflateResult::TooLarge);
}

TEST(CodecInflate, ReportsTruncatedForEveryShortPrefix) {
    const auto source = randomBytes(300, 5);
    const auto stream = compressed(source);
    std::vector<unsigned char> back(source.size());
    for (std::size_t length = 0; length < stream.size(); ++length) {
        std::size_t produced = 0;
        const InflateResult result = codecInflate(stream.data(), length, back.data(), back.size(), produced);
        EXPECT_NE(result, InflateResult::Ok) << length;
    }
}

TEST(CodecInflate, ReportsCorruptForADamagedChecksumOrAMissingZlibHeader) {
    const auto source = patternBytes(2000);
    auto damaged = compressed(source);
    damaged.back() ^= 0x55;
    const std::vector<unsigned char> junk = {'Q', 'V', 'X', 'H', 0, 0, 0, 0};
    std::vector<unsigned char> back(source.size());
    for (const auto& stream : {damaged, junk}) {
        std::size_t produced = 0;
        EXPECT_EQ(codecInflate(stream.data(), stream.size(), back.data(), back.size(), produced),
                  InflateResult::Corrupt);
    }
}

TEST(CodecMaxInflatedSize, RefusesAHundredBytesClaimingFourGiBButAdmitsRealData) {
    EXPECT_LT(codecMaxInflatedSize(100), uint64_t{4} << 30);
    const std::vector<unsigned char> zeros(std::size_t{8} << 20, 0);
    const auto stream = compressed(zeros);
    EXPECT_GE(codecMaxInflatedSize(stream.size()), zeros.size());
}

TEST(CodecInflateResultName, NamesEveryResult) {
    for (InflateResult r : {InflateResult::Ok, InflateResult::Truncated, InflateResult::TooLarge,
                            InflateResult::Corrupt, InflateResult::OutOfMemory})
        EXPECT_STRNE(codecInflateResultName(r), "unknown");
}

TEST(CodecCompressTo, HandsOverPiecesThatFormTheSameStream) {
    const auto source = randomBytes(std::size_t{3} << 20, 11);  // several output pieces
    std::vector<unsigned char> joined;
    int pieces = 0;
    ASSERT_TRUE(
        codecCompressTo(source.data(), source.size(), [&](const unsigned char* data, std::size_t bytes) {
            joined.insert(joined.end(), data, data + bytes);
            ++pieces;
            return true;
        }));
    EXPECT_GT(pieces, 1);
    EXPECT_EQ(joined, compressed(source));
}

TEST(CodecCompressTo, StopsWhenTheSinkRefuses) {
    const auto source = randomBytes(std::size_t{2} << 20, 12);
    int calls = 0;
    EXPECT_FALSE(codecCompressTo(source.data(), source.size(), [&](const unsigned char*, std::size_t) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}
