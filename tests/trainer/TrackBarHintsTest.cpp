#include "trainer/TrackBarHints.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TrackBarHintsTest, SpacingKindsAndPitchRoundedHalfHertzToEven) {
    for (int spacing = 0; spacing <= 7; ++spacing) {
        EXPECT_EQ(SpacingKindOf(spacing), spacing == 0  ? SpacingKind::Normal
                                          : spacing < 4 ? SpacingKind::Increased
                                                        : SpacingKind::Long)
            << spacing;
    }
    for (auto [hertz, shown] :
         {std::pair{800.0L, 800LL}, {1000.4L, 1000LL}, {400.5L, 400LL}, {401.5L, 402LL}}) {
        EXPECT_EQ(PitchHintHertz(hertz), shown) << static_cast<double>(hertz);
    }
}

TEST(TrackBarHintsTest, CaptionsDifferInTheBlanksBeforeTheHyphen) {
    EXPECT_EQ(CaptionAfterSpeedChange("12 wpm", "Normal"), "Vantrel  - 12 wpm Normal");
    EXPECT_EQ(CaptionAfterSpacingChange("30 wpm", "Long"), "Vantrel - 30 wpm Long");
}

}  // namespace
}  // namespace vantrel
