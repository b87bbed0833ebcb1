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

TEST_F(CurveEvaluation, EachTangentTypeShapesItsSpans) {
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> keys;
        Tangent type;
        std::vector<std::pair<double, double>> expected;  // (frame, value)
    };
    using F = MFnAnimCurve;
    // clang-format off
    const Case cases[] = {
        // 10 (3/16 - 2/64) at a quarter of the span.
        {"flat tangents ease", {{0, 0}, {10, 10}}, F::kTangentFlat, {{2.5, 1.5625}, {5, 5}, {7.5, 8.4375}}},
        {"linear spans", {{0, 0}, {10, 10}, {20, 0}}, F::kTangentLinear, {{2.5, 2.5}, {15, 5}}},
        {"step holds", {{0, 0}, {10, 10}}, F::kTangentStep, {{9.9, 0}, {10, 10}}},
        {"step next jumps", {{0, 0}, {10, 10}}, F::kTangentStepNext, {{0, 0}, {0.1, 10}}},
        // Key 10 gets slope (30 - 0) / 20 = 1.5; the first key the slope to its neighbour, 1.
        // At frame 5: 0.125 * 10 * 1 + 0.5 * 10 - 0.125 * 10 * 1.5 = 4.375.
        {"spline slope between the neighbours", {{0, 0}, {10, 10}, {20, 30}}, F::kTangentSmooth,
        {{5, 4.375}}},
        {"fixed tangents start out as splines", {{0, 0}, {10, 10}, {20, 30}}, F::kTangentFixed, {{5, 4.375}}},
        // Key 10 equals key 20, so its tangent is flat (a spline would give 0.5 and 5.625).
        {"clamped flattens", {{0, 0}, {10, 10}, {20, 10}}, F::kTangentClamped, {{5, 6.25}, {15, 10}}},
        // End keys are flat. Key 10 would take the spline slope 12 / 30 = 0.4, whose handle (a third
        // of the next 20-frame span) would pass 12; it is reduced to 3 * 2 / 20 = 0.3.
        // At frame 5: 0.5 * 10 - 0.125 * 10 * 0.3 = 4.625.
        {"auto does not overshoot", {{0, 0}, {10, 10}, {30, 12}}, F::kTangentAuto, {{5, 4.625}}},
        // A local extreme is flat: at frame 15 of 10 -> 0 with flat ends, 10 (1 - 0.5) = 5.
        {"auto is flat at an extreme", {{0, 0}, {10, 10}, {20, 0}}, F::kTangentAuto, {{15, 5},
        {12.5, 8.4375}}},
        {"global is the new scene's auto", {{0, 0}, {10, 10}}, F::kTangentGlobal, {{2.5, 1.5625}}},
        {"keys hold outside the range", {{0, 2}, {10, 10}, {20, 4}}, F::kTangentSmooth,
         {{-100, 2}, {0, 2}, {20, 4}, {500, 4}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keys(c.keys, c.type);
        EXPECT_EQ(curve.inTangentType(0), c.type) << "the type is kept as given";
        for (const auto& [frame, value] : c.expected)
            EXPECT_NEAR(at(frame), value, 1e-9) << "frame " << frame;
    }
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
