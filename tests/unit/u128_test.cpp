// SPDX-License-Identifier: GPL-3.0-or-later
// The two-word 128-bit type that 32-bit targets use for the board's bit sets, against the
// compiler's own type wherever both exist.

#include "ai/U128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace quillet::testing {
namespace {

#ifdef __SIZEOF_INT128__
using Native = unsigned __int128;

TwoWordU128 twoWord(Native v) {
    return (TwoWordU128(static_cast<std::uint64_t>(v >> 64)) << 64) | static_cast<std::uint64_t>(v);
}
Native native(TwoWordU128 v) {
    return (Native{static_cast<std::uint64_t>(v >> 64)} << 64) | static_cast<std::uint64_t>(v);
}

// Values with runs of ones and zeros across the word boundary, where carries and shifts go wrong.
std::vector<Native> sampleValues() {
    std::mt19937_64 random(2024);
    std::vector<Native> values = {
        0, 1, ~Native{0}, Native{1} << 63, Native{1} << 64, (Native{1} << 64) - 1, Native{0x3ff} << 60};
    for (int i = 0; i < 200; ++i) {
        Native v = (Native{random()} << 64) | random();
        if (i % 3 == 1) v &= v >> (random() % 100);  // sparse, like a board's pieces
        values.push_back(v);
    }
    return values;
}

TEST(TwoWordU128, ArithmeticAndBitOperationsAgreeWithTheBuiltInType) {
    const auto values = sampleValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Native a = values[i], b = values[(i * 7 + 3) % values.size()];
        const TwoWordU128 x = twoWord(a), y = twoWord(b);
        ASSERT_EQ(native(x), a);
        EXPECT_EQ(native(x & y), a & b);
        EXPECT_EQ(native(x | y), a | b);
        EXPECT_EQ(native(x ^ y), a ^ b);
        EXPECT_EQ(native(~x), ~a);
        EXPECT_EQ(native(x + y), a + b);
        EXPECT_EQ(native(x - y), a - b);
        EXPECT_EQ(native(x - 1), a - 1) << "the borrow into the high word";
        EXPECT_EQ(native(-x), -a);
        EXPECT_EQ(native(x & (x - 1)), a & (a - 1)) << "dropping the lowest set bit";
        EXPECT_EQ(x == y, a == b);
        EXPECT_EQ(x < y, a < b);
        EXPECT_EQ(static_cast<bool>(x), a != 0);
        EXPECT_EQ(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(a));
    }
}

TEST(TwoWordU128, ShiftsByEveryDistanceAgreeWithTheBuiltInType) {
    for (const Native a : sampleValues()) {
        const TwoWordU128 x = twoWord(a);
        for (int n = 0; n < 128; ++n) {
            ASSERT_EQ(native(x << n), a << n) << "shift left by " << n;
            ASSERT_EQ(native(x >> n), a >> n) << "shift right by " << n;
            TwoWordU128 y = x;
            y <<= n;
            y >>= n;
            ASSERT_EQ(native(y), (a << n) >> n);
        }
    }
}
#endif

TEST(TwoWordU128, IntegersConvertAsUnsignedArithmeticDoes) {
    constexpr TwoWordU128 one = 1;
    static_assert((one << 127 >> 127) == one, "usable in constant expressions, as the board masks are");
    EXPECT_EQ(static_cast<std::uint64_t>(TwoWordU128(-1) >> 64), ~std::uint64_t{0}) << "sign extended";
    EXPECT_EQ(TwoWordU128(std::uint64_t{5}) >> 64, TwoWordU128(0)) << "not sign extended";
    EXPECT_FALSE(static_cast<bool>(TwoWordU128(0)));
    EXPECT_TRUE(static_cast<bool>(one << 100));
}

}  // namespace
}  // namespace quillet::testing
