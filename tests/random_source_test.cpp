#include "dialog/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

using namespace quillora;

TEST(RandomSource, ProductionValuesAreTheTop24BitsOfMt19937)
{
    // several whole states (624 values each) and the extreme seeds
    for (const std::uint32_t seed : { 0u, 1u, 12345u, 5489u, 86'399'999u, 4294967295u }) {
        Mt19937Source source(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 3000; ++i)
            ASSERT_EQ(source.next(), static_cast<float>(reference() >> 8) / 16777216.0f)
                << "seed " << seed << ", value " << i;
    }
    EXPECT_LT(clock_seed(), 86'400'000u); // milliseconds since midnight
}

TEST(RandomSource, DrawIsTheFloorOfTheDoubleProduct)
{
    // every r on a fine grid and the values next to integer products; negative n as well,
    // where truncation alone would round up
    std::vector<float> values = { 0x1p-24f * 16777215, 0.5f, std::nextafter(0.5f, 0.0f) };
    for (int k = 0; k < (1 << 24); k += 4099)
        values.push_back(static_cast<float>(k) * 0x1p-24f);
    for (const int n : { 1, 2, 6, 15, 101, 201, 401, -3, -101 }) {
        ScriptedSource source(values);
        for (const float r : values)
            ASSERT_EQ(
                draw(source, n, -7), static_cast<int>(std::floor(n * static_cast<double>(r))) - 7)
                << n << " " << r;
    }
    // 6 * r rounds up to exactly 5 in single precision, which would give 6; in double it stays
    // just below 5
    const float r = 13981013 * 0x1p-24f;
    volatile float single = 6.0f * r;
    ASSERT_EQ(single, 5.0f);
    ScriptedSource source({ r });
    EXPECT_EQ(draw(source, 6, 1), 5);
}

TEST(RandomSource, DrawCoversItsRangeEvenlyAndNeverLeavesIt)
{
    Mt19937Source source(7);
    int counts[15] = {};
    for (int i = 0; i < 150000; ++i) {
        const int v = draw(source, 15, 1);
        ASSERT_TRUE(v >= 1 && v <= 15) << v;
        ++counts[v - 1];
    }
    for (const int c : counts)
        EXPECT_NEAR(c, 10000, 1000); // within 10% of the expected count
}

TEST(RandomSource, ScriptedSourceHandsOutValuesInOrderThenFailsLoudly)
{
    ScriptedSource source({ 0.25f, 0.5f });
    EXPECT_EQ(source.next(), 0.25f);
    EXPECT_EQ(source.remaining(), 1u);
    EXPECT_EQ(source.next(), 0.5f);
    EXPECT_THROW(source.next(), std::logic_error);
}
