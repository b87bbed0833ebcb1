// Animation curves between keys: Bezier spans shaped by each key's tangents, as Maya evaluates them.
// Expected values come from the cubic Hermite form of a span from (x0, y0) to (x1, y1) with slopes
// m0, m1 and s = (x - x0) / (x1 - x0):
//   y = (2s^3 - 3s^2 + 1) y0 + (s^3 - 2s^2 + s) dx m0 + (3s^2 - 2s^3) y1 + (s^3 - s^2) dx m1.
#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>

#include <utility>
#include <vector>

#include "SceneFixture.h"

namespace {

using Tangent = MFnAnimCurve::TangentType;

class CurveEvaluation : public SceneTest {
  protected:
    // A time-to-unitless curve with keys at the given (frame, value) pairs, all with one tangent type.
    void keys(const std::vector<std::pair<double, double>>& frameValues, Tangent type) {
        MStatus status;
        curve.create(MFnAnimCurve::kAnimCurveTU, NULL, &status);
        ASSERT_TRUE(status);
        for (const auto& kv : frameValues) curve.addKey(MTime(kv.first, MTime::kFilm), kv.second, type, type);
    }
    double at(double frame) { return curve.evaluate(MTime(frame, MTime::kFilm)); }
    MFnAnimCurve curve;
};

TEST_F(CurveEvaluation, FlatTangentsEaseBetweenKeys) {
    keys({{0, 0}, {10, 10}}, MFnAnimCurve::kTangentFlat);
    EXPECT_NEAR(at(2.5), 1.5625, 1e-9);  // 10 (3/16 - 2/64)
    EXPECT_NEAR(at(5), 5, 1e-9);
    EXPECT_NEAR(at(7.5), 8.4375, 1e-9);
}

TEST_F(CurveEvaluation, LinearTangentsGiveStraightSpans) {
    keys({{0, 0}, {10, 10}, {20, 0}}, MFnAnimCurve::kTangentLinear);
    EXPECT_NEAR(at(2.5), 2.5, 1e-9);
    EXPECT_NEAR(at(15), 5, 1e-9);
}

TEST_F(CurveEvaluation, StepHoldsAndStepNextJumps) {
    keys({{0, 0}, {10, 10}}, MFnAnimCurve::kTangentStep);
    EXPECT_DOUBLE_EQ(at(9.9), 0);
    EXPECT_DOUBLE_EQ(at(10), 10);
    keys({{0, 0}, {10, 10}}, MFnAnimCurve::kTangentStepNext);
    EXPECT_DOUBLE_EQ(at(0.1), 10);
    EXPECT_DOUBLE_EQ(at(0), 0);
}

TEST_F(CurveEvaluation, SplineSlopeRunsBetweenTheNeighbours) {
    // Key 10 gets slope (30 - 0) / 20 = 1.5; the first key the slope to its neighbour, 1.
    // At frame 5: 0.125 * 10 * 1 + 0.5 * 10 - 0.125 * 10 * 1.5 = 4.375.
    keys({{0, 0}, {10, 10}, {20, 30}}, MFnAnimCurve::kTangentSmooth);
    EXPECT_NEAR(at(5), 4.375, 1e-9);
    // Fixed tangents start out as splines.
    keys({{0, 0}, {10, 10}, {20, 30}}, MFnAnimCurve::kTangentFixed);
    EXPECT_NEAR(at(5), 4.375, 1e-9);
}

TEST_F(CurveEvaluation, ClampedFlattensAtAKeyEqualToItsNeighbour) {
    // Key 10 equals key 20, so its tangent is flat (a spline would give 0.5 and 5.625).
    keys({{0, 0}, {10, 10}, {20, 10}}, MFnAnimCurve::kTangentClamped);
    EXPECT_NEAR(at(5), 6.25, 1e-9);
    EXPECT_NEAR(at(15), 10, 1e-9);
}

TEST_F(CurveEvaluation, AutoTangentsDoNotOvershoot) {
    // End keys are flat. Key 10 would take the spline slope 12 / 30 = 0.4, whose handle (a third of
    // the next 20-frame span) would pass 12; it is reduced to 3 * 2 / 20 = 0.3.
    // At frame 5: 0.5 * 10 - 0.125 * 10 * 0.3 = 4.625.
    keys({{0, 0}, {10, 10}, {30, 12}}, MFnAnimCurve::kTangentAuto);
    EXPECT_NEAR(at(5), 4.625, 1e-9);
    // A local extreme is flat: at frame 15 of 10 -> 0 with flat ends, 10 (1 - 0.5) = 5.
    keys({{0, 0}, {10, 10}, {20, 0}}, MFnAnimCurve::kTangentAuto);
    EXPECT_NEAR(at(15), 5, 1e-9);
    EXPECT_NEAR(at(12.5), 8.4375, 1e-9);
}

TEST_F(CurveEvaluation, GlobalTangentsAreTheNewSceneDefaultAuto) {
    keys({{0, 0}, {10, 10}}, MFnAnimCurve::kTangentGlobal);
    EXPECT_NEAR(at(2.5), 1.5625, 1e-9);
    EXPECT_EQ(curve.inTangentType(0), MFnAnimCurve::kTangentGlobal);
}

TEST_F(CurveEvaluation, WeightedCurveWithNewTangentsMatchesTheUnweightedOne) {
    // Maya gives a new weighted tangent a third of the span in x, where the weighted Bezier and the
    // unweighted Hermite span coincide.
    keys({{0, 0}, {10, 10}, {20, 30}}, MFnAnimCurve::kTangentSmooth);
    MPlug weighted = curve.findPlug("weightedTangents");
    ASSERT_TRUE(weighted.setValue(true));
    EXPECT_NEAR(at(5), 4.375, 1e-9);
    keys({{0, 0}, {10, 10}}, MFnAnimCurve::kTangentFlat);
    MPlug w2 = curve.findPlug("weightedTangents");
    ASSERT_TRUE(w2.setValue(true));
    EXPECT_NEAR(at(2.5), 1.5625, 1e-9);
}

TEST_F(CurveEvaluation, KeysHoldBeforeTheFirstAndAfterTheLast) {
    keys({{0, 2}, {10, 10}, {20, 4}}, MFnAnimCurve::kTangentSmooth);
    EXPECT_DOUBLE_EQ(at(-100), 2);
    EXPECT_DOUBLE_EQ(at(0), 2);
    EXPECT_DOUBLE_EQ(at(20), 4);
    EXPECT_DOUBLE_EQ(at(500), 4);
}

TEST_F(CurveEvaluation, ConnectedAttributeFollowsTheShapeOverTime) {
    MObject t = dagNode("transform", "mover");
    MFnDependencyNode fn(t);
    MStatus status;
    curve.create(fn.findPlug("translateX"), MFnAnimCurve::kAnimCurveTL, NULL, &status);
    ASSERT_TRUE(status);
    curve.addKey(MTime(0, MTime::kFilm), 0, MFnAnimCurve::kTangentFlat, MFnAnimCurve::kTangentFlat);
    curve.addKey(MTime(10, MTime::kFilm), 10, MFnAnimCurve::kTangentFlat, MFnAnimCurve::kTangentFlat);
    MAnimControl::setCurrentTime(MTime(2.5, MTime::kFilm));
    EXPECT_NEAR(fn.findPlug("translateX").asDouble(), 1.5625, 1e-9);
}

}  // namespace
