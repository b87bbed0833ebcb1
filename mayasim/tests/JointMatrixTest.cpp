// Joint local matrices as Maya composes them: S RA R JO IS T, where IS undoes the parent joint's scale
// (segment scale compensation, on by default, fed through "inverseScale").
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnIkJoint.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <cmath>

#include "SceneFixture.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

class JointMatrix : public SceneTest {
  protected:
    // A root joint scaled by 2 with a child one unit along its x axis.
    void SetUp() override {
        SceneTest::SetUp();
        MFnIkJoint fn;
        root = fn.create();
        const double two[3] = {2, 2, 2};
        fn.setScale(two);
        child = fn.create(root);
        fn.setTranslation(MVector(1, 0, 0), MSpace::kTransform);
    }
    static MMatrix worldOf(const MObject& joint) {
        MDagPath path;
        MDagPath::getAPathTo(joint, path);
        return path.inclusiveMatrix();
    }
    MObject root, child;
};

TEST_F(JointMatrix, ChildUndoesItsParentsScale) {
    MFnIkJoint fn(child);
    MPlug ssc = fn.findPlug("segmentScaleCompensate");
    EXPECT_TRUE(ssc.asBool());
    // world = (diag(1/2) T(1,0,0)) diag(2): unit scale, translation (2,0,0)
    const MMatrix w = worldOf(child);
    const MPoint p = MPoint(1, 1, 1) * w;
    EXPECT_NEAR(p.x, 3, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    EXPECT_NEAR(p.z, 1, 1e-12);
    // The compensation follows the parent's scale as it changes.
    const double three[3] = {3, 3, 3};
    MFnIkJoint(root).setScale(three);
    const MPoint q = MPoint(1, 0, 0) * worldOf(child);
    EXPECT_NEAR(q.x, 4, 1e-12);  // (1/3 + 1) * 3
}

TEST_F(JointMatrix, WithoutCompensationTheParentsScaleCarriesOver) {
    MFnIkJoint fn(child);
    MPlug ssc = fn.findPlug("segmentScaleCompensate");
    ssc.setValue(false);
    const MPoint p = MPoint(1, 1, 1) * worldOf(child);
    EXPECT_NEAR(p.x, 4, 1e-12);  // (1 + 1) * 2
    EXPECT_NEAR(p.y, 2, 1e-12);
    EXPECT_NEAR(p.z, 2, 1e-12);
}

TEST_F(JointMatrix, ScaleOrientationIsTheRotateAxis) {
    MFnIkJoint fn(child);
    MQuaternion q;
    ASSERT_TRUE(fn.getScaleOrientation(q));
    EXPECT_NEAR(q.w, 1, 1e-12);
    MPlug ray = fn.findPlug("rotateAxisY");
    ray.setValue(kHalfPi);
    ASSERT_TRUE(fn.getScaleOrientation(q));
    EXPECT_NEAR(q.y, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(q.w, std::sqrt(0.5), 1e-12);
    // RA comes before R: the axis turns x to -z (90 about y), the rotation -z to +y (90 about x);
    // IS then halves it.
    MPlug rx = fn.findPlug("rotateX");
    rx.setValue(kHalfPi);
    const MVector x = MVector(1, 0, 0) * fn.transformationMatrix();
    EXPECT_NEAR(x.x, 0, 1e-12);
    EXPECT_NEAR(x.y, 0.5, 1e-12);
    EXPECT_NEAR(x.z, 0, 1e-12);
}

}  // namespace
