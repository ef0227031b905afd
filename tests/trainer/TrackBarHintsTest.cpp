#include "trainer/TrackBarHints.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TrackBarHintsTest, HintsNameTheSettingInTheLearnersTerms) {
    EXPECT_EQ(SpeedHint(12), "12 гр./мин.");
    EXPECT_EQ(SpeedHint(3), "3 гр./мин.");
    EXPECT_EQ(SpacingHint(0), "Нормальные паузы");
    for (int spacing : {1, 2, 3}) {
        EXPECT_EQ(SpacingHint(spacing), "Увеличенные паузы") << spacing;
    }
    for (int spacing : {4, 5, 6, 7}) {
        EXPECT_EQ(SpacingHint(spacing), "Длинные паузы") << spacing;
    }
    EXPECT_EQ(VolumeHint(8), "8");
    EXPECT_EQ(VolumeHint(0), "0");
}

TEST(TrackBarHintsTest, PitchHintRoundsHalfHertzToEven) {
    EXPECT_EQ(PitchHint(800.0L), "800 Гц");
    EXPECT_EQ(PitchHint(1600.0L), "1600 Гц");
    EXPECT_EQ(PitchHint(1000.4L), "1000 Гц");
    EXPECT_EQ(PitchHint(400.5L), "400 Гц");
    EXPECT_EQ(PitchHint(401.5L), "402 Гц");
}

TEST(TrackBarHintsTest, CaptionsDifferInTheBlanksBeforeTheHyphen) {
    EXPECT_EQ(CaptionAfterSpeedChange(SpeedHint(12), SpacingHint(0)),
              "Vantrel  - 12 гр./мин. Нормальные паузы");
    EXPECT_EQ(CaptionAfterSpacingChange(SpeedHint(30), SpacingHint(7)),
              "Vantrel - 30 гр./мин. Длинные паузы");
}

}  // namespace
}  // namespace vantrel
