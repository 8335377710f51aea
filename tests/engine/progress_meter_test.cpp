#include "progress_meter.h"

#include <gtest/gtest.h>

#include <vector>

#include "piece_set.h"

namespace zirared {
namespace {

// The values a split of length bytes passes to the bar: one per block.
std::vector<int> SplitProgress(std::int64_t length) {
    ProgressMeter meter(length);
    meter.SetStepDenominator(length / static_cast<std::int64_t>(kBlockBytes));
    std::vector<int> values;
    const std::int64_t blocks = (length + kBlockBytes - 1) / kBlockBytes;
    for (std::int64_t block = 0; block < blocks; ++block) {
        values.push_back(meter.Advance());
    }
    return values;
}

TEST(ProgressMeter, PartialLastBlockReaches101) {
    const auto values = SplitProgress(kSizeUnitBytes + 1);
    ASSERT_EQ(values.size(), 141U);
    EXPECT_EQ(values.front(), 1) << "100/140 rounds to 1";
    EXPECT_EQ(values[139], 100);
    EXPECT_EQ(values.back(), 101);
    EXPECT_EQ(SplitProgress(2 * kSizeUnitBytes).back(), 100) << "whole blocks end at 100";
}

TEST(ProgressMeter, HalvesRoundToEven) {
    ProgressMeter meter(1000);
    meter.SetStepDenominator(8);  // 12.5 per step
    std::vector<int> values;
    for (int i = 0; i < 8; ++i) {
        values.push_back(meter.Advance());
    }
    EXPECT_EQ(values, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST(ProgressMeter, UnmeasurablyShortLastPieceFillsTheBar) {
    ProgressMeter meter(1000);
    meter.SetStepDenominator(3);
    EXPECT_EQ(meter.Advance(), 33);
    EXPECT_EQ(meter.Advance(), 67);
    meter.SetStepDenominator(0);  // E = 0: without this the bar would end at 67
    EXPECT_EQ(meter.Advance(), 100);
    EXPECT_EQ(meter.Advance(), 100);
}

TEST(ProgressMeter, LargestSourcesStayWithinTheBarAndEndFull) {
    // 999 pieces of the largest size: single precision would end near 96.
    const std::int64_t length = 999 * 40 * kSizeUnitBytes - 1;
    const auto values = SplitProgress(length);
    EXPECT_EQ(values.back(), 100);
    for (const int value : values) {
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 100);
    }
}

}  // namespace
}  // namespace zirared
