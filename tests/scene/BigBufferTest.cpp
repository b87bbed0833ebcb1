// The large-buffer storage: sizes on both sides of the huge-page threshold hold what is
// written, big ones start on a 2 MiB boundary, and growing keeps the bytes already there.

#include "scene/BigBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(BigBuffer, HoldsWhatIsWrittenOnBothSidesOfTheHugePageSize) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{100}, bigbuffer::kHugePageBytes - 1,
                              bigbuffer::kHugePageBytes, bigbuffer::kHugePageBytes * 3 + 12345}) {
        ImageBuffer buffer;
        buffer.resize(bytes);
        for (std::size_t i = 0; i < bytes; i += 4093) buffer[i] = static_cast<unsigned char>(i);
        if (bytes == 0) continue;
        buffer[bytes - 1] = 0xAB;
        for (std::size_t i = 0; i + 1 < bytes; i += 4093) EXPECT_EQ(buffer[i], static_cast<unsigned char>(i));
        EXPECT_EQ(buffer[bytes - 1], 0xAB);
#if defined(__linux__)
        if (bytes >= bigbuffer::kHugePageBytes) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % bigbuffer::kHugePageBytes, 0u)
                << bytes;
        }
#endif
    }
}

TEST(BigBuffer, GrowingAcrossTheThresholdKeepsTheContents) {
    ImageBuffer buffer(1000, 7);
    buffer.resize(bigbuffer::kHugePageBytes * 2);
    EXPECT_EQ(buffer[999], 7);
    buffer.assign({1, 2, 3});
    EXPECT_EQ(buffer, (ImageBuffer{1, 2, 3}));
}
