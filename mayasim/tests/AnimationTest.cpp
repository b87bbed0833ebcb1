#include <maya/MAnimControl.h>
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnTransform.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include "SceneFixture.h"

namespace {

using TimeSettings = SceneTest;

TEST_F(TimeSettings, NewSceneStartsAsMaya2015) {
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().as(MTime::kFilm), 1);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kFilm), 24);
    EXPECT_DOUBLE_EQ(MAnimControl::animationStartTime().as(MTime::kFilm), 1);
    EXPECT_DOUBLE_EQ(MAnimControl::animationEndTime().as(MTime::kFilm), 48);
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kFilm), 1);
    EXPECT_EQ(MAnimControl::minTime().unit(), MTime::kFilm);
}

TEST_F(TimeSettings, UnitsHaveTheDevkitNumbers) {
    EXPECT_EQ(MTime::kHours, 1);
    EXPECT_EQ(MTime::kFilm, 6);
    EXPECT_EQ(MTime::kNTSCField, 11);
    EXPECT_EQ(MTime::k2FPS, 12);
    EXPECT_EQ(MTime::k6000FPS, 42);
    EXPECT_EQ(MTime::kUserDef, 43);
}

TEST_F(TimeSettings, ConversionsBetweenUnits) {
    MTime t(12, MTime::kFilm);
    EXPECT_DOUBLE_EQ(t.as(MTime::kSeconds), 0.5);
    EXPECT_DOUBLE_EQ(t.as(MTime::kNTSCFrame), 15);
    EXPECT_DOUBLE_EQ(t.as(MTime::k6000FPS), 3000);
    EXPECT_DOUBLE_EQ(MTime(1, MTime::kMinutes).as(MTime::kMilliseconds), 60000);
    EXPECT_EQ(MTime(0.5).unit(), MTime::kFilm);
    MTime u = t;
    ASSERT_TRUE(u.setUnit(MTime::kPALFrame));
    EXPECT_DOUBLE_EQ(u.value(), 12.5);
    EXPECT_TRUE(u == t);
}

TEST_F(TimeSettings, UiUnitChangeKeepsTheInstant) {
    ASSERT_TRUE(MAnimControl::setMinTime(MTime(10, MTime::kPALFrame)));
    ASSERT_TRUE(MTime::setUIUnit(MTime::kPALFrame));
    EXPECT_EQ(MTime::uiUnit(), MTime::kPALFrame);
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().value(), 10);
    EXPECT_EQ(MAnimControl::minTime().unit(), MTime::kPALFrame);
    EXPECT_FALSE(MTime::setUIUnit(MTime::kInvalid));
}

class AnimatedTransform : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        node = dagNode("joint", "bone");
        MFnDependencyNode fn(node);
        MObject attr = fn.attribute("translateX");
        MPlug tx(node, attr);
        MStatus status;
        curve.create(tx, MFnAnimCurve::kAnimCurveTL, NULL, &status);
        ASSERT_TRUE(status);
        curve.addKey(MTime(0.0, MTime::kSeconds), 0.0);
        curve.addKey(MTime(1.0, MTime::kSeconds), 10.0);
        MFnAnimCurve ry;
        MPlug ryPlug = fn.findPlug("rotateY");
        ry.create(ryPlug, MFnAnimCurve::kAnimCurveTA, NULL, &status);
        ASSERT_TRUE(status);
        ry.addKey(MTime(0.0, MTime::kSeconds), 0.0);
        ry.addKey(MTime(1.0, MTime::kSeconds), 1.0);
    }
    MObject node;
    MFnAnimCurve curve;
};

TEST_F(AnimatedTransform, CurveIsNamedAfterThePlugAndCountsKeys) {
    EXPECT_EQ(curve.name(), "bone_translateX");
    EXPECT_EQ(curve.numKeys(), 2u);
    EXPECT_DOUBLE_EQ(curve.value(1), 10);
    EXPECT_DOUBLE_EQ(curve.time(1).as(MTime::kSeconds), 1);
    EXPECT_EQ(curve.time(1).unit(), MTime::kFilm);
    EXPECT_EQ(curve.object().apiType(), MFn::kAnimCurveTimeToDistance);
    // Keys added without tangents take the default (auto), flat at both ends: 10 (3 s^2 - 2 s^3).
    EXPECT_NEAR(curve.evaluate(MTime(0.25, MTime::kSeconds)), 1.5625, 1e-12);
}

TEST_F(AnimatedTransform, ReadsFollowTheCurrentTime) {
    MFnTransform fn(node);
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(12, MTime::kFilm)));
    EXPECT_NEAR(fn.getTranslation(MSpace::kTransform).x, 5.0, 1e-9);
    double tx = 0;
    fn.findPlug("tx").getValue(tx);
    EXPECT_NEAR(tx, 5.0, 1e-9);
    MDagPath path;
    fn.getPath(path);
    EXPECT_NEAR(path.inclusiveMatrix()(3, 0), 5.0, 1e-9);

    MAnimControl::setCurrentTime(MTime(24, MTime::kFilm));
    EXPECT_NEAR(fn.getTranslation(MSpace::kTransform).x, 10.0, 1e-9);
    MTransformationMatrix m(fn.transformationMatrix());
    double r[3];
    MTransformationMatrix::RotationOrder order;
    m.getRotation(r, order);
    EXPECT_NEAR(r[1], 1.0, 1e-9);
    EXPECT_NEAR(m.getTranslation(MSpace::kWorld).x, 10.0, 1e-9);
}

TEST_F(AnimatedTransform, AnimatedPlugCannotTakeASecondCurve) {
    MFnAnimCurve second;
    MStatus status;
    second.create(MFnDependencyNode(node).findPlug("translateX"), MFnAnimCurve::kAnimCurveTL, NULL, &status);
    EXPECT_FALSE(status);
}

using Joints = SceneTest;

TEST_F(Joints, SetFromTransformationMatrixAndOrder) {
    MFnIkJoint fn;
    MStatus status;
    MObject j = fn.create(MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(nameOf(j), "joint1");
    MTransformationMatrix m(MTransformationMatrix::identity);
    m.setTranslation(MVector(1, 2, 3), MSpace::kObject);
    m.setRotationQuaternion(0, 0, 0.70710678118654752, 0.70710678118654752);
    const double scale[3] = {2, 2, 2};
    m.setScale(scale, MSpace::kObject);
    ASSERT_TRUE(fn.set(m));
    ASSERT_TRUE(fn.setRotationOrder(MTransformationMatrix::kZXY, false));
    EXPECT_EQ(fn.rotationOrder(), MTransformationMatrix::kZXY);
    double r[3];
    MTransformationMatrix::RotationOrder order;
    fn.getRotation(r, order);
    EXPECT_NEAR(r[2], 1.5707963267948966, 1e-9);
    double s[3];
    fn.getScale(s);
    EXPECT_DOUBLE_EQ(s[0], 2);
    EXPECT_EQ(fn.getTranslation(MSpace::kTransform), MVector(1, 2, 3));
}

TEST_F(Joints, JointOrientIsPartOfTheLocalMatrix) {
    MFnIkJoint fn;
    fn.create();
    fn.setOrientation(MEulerRotation(0, 0, 1.5707963267948966).asQuaternion());
    fn.setTranslation(MVector(1, 0, 0), MSpace::kTransform);
    MMatrix m = fn.transformationMatrix();
    MVector x = MVector(1, 0, 0) * m;
    EXPECT_NEAR(x.y, 1.0, 1e-9);
    MQuaternion q;
    fn.getOrientation(q);
    EXPECT_NEAR(q.asEulerRotation().z, 1.5707963267948966, 1e-9);
}

}  // namespace
