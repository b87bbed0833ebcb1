// The root transform and the time settings taken from the first animation.

#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MTime.h>

#include <cmath>

#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"
#include "process/PostLoad.h"

namespace {

using namespace import_test;

class RootAndTime : public HostTest {
  protected:
    // A scene with one bone and an animation of the given range and rate.
    static void animated(Scene& scene, float start, float count, float fps) {
        addBone(scene, "hip", -1);
        Animation& animation = *scene.animations.append();
        animation.startTick = start;
        animation.tickCount = count;
        animation.fps = fps;
        ASSERT_EQ(animation.tracks.allocate(1), 1);
    }
};

TEST_F(RootAndTime, ScenesWithoutAnimationGiveOneRootAndLeaveTimeAlone) {
    const MTime::Unit unit = MTime::uiUnit();
    const double minTime = MAnimControl::minTime().value();
    Scene scene;
    ASSERT_TRUE(importBuild(scene));
    EXPECT_EQ(typeOf("qvxTransform"), "transform");
    EXPECT_EQ(fullPath(nodeNamed("qvxTransform")), "|qvxTransform");
    EXPECT_TRUE(childNames("qvxTransform").empty());
    Scene bones;  // bones, but no animation
    addBone(bones, "hip", -1);
    ASSERT_TRUE(importBuild(bones));
    EXPECT_EQ(MTime::uiUnit(), unit);
    EXPECT_EQ(MAnimControl::minTime().value(), minTime);
    EXPECT_TRUE(hostLines().empty());
    EXPECT_EQ(stderrText(), "");
}

TEST_F(RootAndTime, EveryRateOfTheTableChoosesItsUnit) {
    // The frame rate of every unit from hours to 6000 fps, in the host's order.
    // clang-format off
    const float rates[] = {1.0f / 3600.0f, 1.0f / 60.0f, 1, 1000, 15, 24, 25, 30, 48, 50, 60, 2, 3, 4, 5, 6,
                           8, 10, 12, 16, 20, 40, 75, 80, 100, 120, 125, 150, 200, 240, 250, 300, 375, 400,
                           500, 600, 750, 1200, 1500, 2000, 3000, 6000};
    // clang-format on
    int unit = MTime::kHours;
    for (const float rate : rates) {
        EXPECT_EQ(timeUnitForRate(rate), static_cast<MTime::Unit>(unit)) << rate;
        EXPECT_EQ(timeUnitForRate(rate + 0.00005f), static_cast<MTime::Unit>(unit)) << rate;
        ++unit;
    }
    EXPECT_EQ(unit, MTime::k6000FPS + 1);
    EXPECT_EQ(timeUnitForRate(29.97f), MTime::kNTSCFrame);
    EXPECT_EQ(timeUnitForRate(0.0f), MTime::kNTSCFrame);
    EXPECT_EQ(timeUnitForRate(24.001f), MTime::kNTSCFrame);
    EXPECT_EQ(timeUnitForRate(std::nanf("")), MTime::kNTSCFrame);
}

TEST_F(RootAndTime, RangeAndCurrentTimeInFramesOfTheChosenUnit) {
    Scene scene;
    animated(scene, 10, 90, 25);
    ASSERT_TRUE(importBuild(scene));
    EXPECT_EQ(MTime::uiUnit(), MTime::kPALFrame);
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().as(MTime::kPALFrame), 10.0);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kPALFrame), 100.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationStartTime().as(MTime::kPALFrame), 10.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationEndTime().as(MTime::kPALFrame), 100.0);
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kPALFrame), 10.0);
}

TEST_F(RootAndTime, RangeThatIsNotANumberLeavesTheHostRangeAlone) {
    const double minTime = MAnimControl::minTime().value();
    Scene scene;
    animated(scene, std::nanf(""), 10, 24);
    ASSERT_TRUE(importBuild(scene));
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_EQ(MAnimControl::minTime().value(), minTime);
}

TEST_F(RootAndTime, ShowsTheThreeTimeLinesOnBothChannels) {
    Scene scene;
    animated(scene, 10, 90, 29.97f);
    ASSERT_TRUE(importBuild(scene));
    EXPECT_EQ(MTime::uiUnit(), MTime::kNTSCFrame);
    EXPECT_EQ(hostLines(),
              (std::vector<std::string>{"QVX: tick_start: 10", "QVX: tick_end: 100", "QVX: fps: 29.97"}));
    EXPECT_EQ(stderrText(), "QVX: tick_start: 10.000000\nQVX: tick_end: 100.000000\nQVX: fps: 29.969999\n");
}

}  // namespace
