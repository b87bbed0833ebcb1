// What the translator's export walk and import build rely on, exercised the way they call the host.
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFileObject.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnTransform.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <filesystem>
#include <fstream>

#include "SceneFixture.h"

namespace {

using ExportWalk = SceneTest;

TEST_F(ExportWalk, DefaultCameraTransformsAnswerForTheirCameraShapes) {
    int cameras = 0;
    for (MItDag it(MItDag::kBreadthFirst, MFn::kInvalid); !it.isDone(); it.next()) {
        MDagPath path;
        ASSERT_TRUE(it.getPath(path));
        if (path.hasFn(MFn::kCamera) && !path.hasFn(MFn::kTransform)) {
            ++cameras;
            MDagPath parent(path);
            ASSERT_TRUE(parent.pop());
            EXPECT_TRUE(parent.hasFn(MFn::kCamera));
            EXPECT_EQ(path.fullPathName(), parent.fullPathName() + "|" + path.partialPathName());
        }
    }
    EXPECT_EQ(cameras, 4);
}

TEST_F(ExportWalk, TopLevelNodeHasTheWorldAsParent) {
    MObject xf = dagNode("transform", "top1");
    MFnDagNode fn(xf);
    ASSERT_EQ(fn.parentCount(), 1u);
    EXPECT_EQ(fn.parent(0).apiType(), MFn::kWorld);
}

TEST_F(ExportWalk, SamplingFramesOfThePlaybackRangeInTheUiUnit) {
    MObject j = dagNode("joint", "j");
    MFnDependencyNode fn(j);
    MFnAnimCurve curve;
    MPlug ty = fn.findPlug("translateY");
    curve.create(ty, MFnAnimCurve::kAnimCurveTL);
    // Linear keys, so that every sampled frame has a value that is easy to state.
    curve.addKey(MTime(1, MTime::kPALFrame), 0.0, MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear);
    curve.addKey(MTime(11, MTime::kPALFrame), 10.0, MFnAnimCurve::kTangentLinear,
                 MFnAnimCurve::kTangentLinear);
    ASSERT_TRUE(MTime::setUIUnit(MTime::kPALFrame));
    MAnimControl::setMinTime(MTime(1, MTime::uiUnit()));
    MAnimControl::setMaxTime(MTime(11, MTime::uiUnit()));
    MTime saved = MAnimControl::currentTime();
    int first = static_cast<int>(MAnimControl::minTime().as(MTime::uiUnit()));
    int last = static_cast<int>(MAnimControl::maxTime().as(MTime::uiUnit()));
    MFnTransform xf(j);
    for (int frame = first; frame < last; ++frame) {
        MAnimControl::setCurrentTime(MTime(frame, MTime::uiUnit()));
        MTransformationMatrix m(xf.transformationMatrix());
        EXPECT_NEAR(m.getTranslation(MSpace::kWorld).y, frame - 1, 1e-9) << frame;
    }
    MAnimControl::setCurrentTime(saved);
    EXPECT_TRUE(MAnimControl::currentTime() == saved);
}

using ImportBuild = SceneTest;

TEST_F(ImportBuild, TimeSettingsInTheChosenUnit) {
    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    MTime::Unit unit = MTime::uiUnit();
    MAnimControl::setMinTime(MTime(10, unit));
    MAnimControl::setMaxTime(MTime(100, unit));
    MAnimControl::setAnimationStartTime(MTime(10, unit));
    MAnimControl::setAnimationEndTime(MTime(100, unit));
    MAnimControl::setCurrentTime(MTime(10, unit));
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().value(), 100);
    EXPECT_DOUBLE_EQ(MAnimControl::animationEndTime().as(MTime::kSeconds), 100.0 / 30.0);
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().value(), 10);
}

TEST_F(ImportBuild, JointsUnderTheRootWithCurvesOnNamedAttributes) {
    MFnTransform rootFn;
    MStatus status;
    MObject root = rootFn.create(MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    rootFn.setName("qvxTransform");

    MFnIkJoint jointFn;
    MObject joint = jointFn.create(MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    jointFn.setName("Bip01");
    MFnDagNode attachFn;
    ASSERT_TRUE(attachFn.setObject(joint));
    MTransformationMatrix tm(MTransformationMatrix::identity);
    tm.setTranslation(MVector(1, 2, 3), MSpace::kObject);
    const double scale[3] = {1, 1, 1};
    tm.setScale(scale, MSpace::kObject);
    tm.setRotationQuaternion(0, 0, 0, 1);
    MFnTransform xf(joint);
    ASSERT_TRUE(xf.set(tm));
    ASSERT_TRUE(xf.setRotationOrder(MTransformationMatrix::kXYZ, false));
    ASSERT_TRUE(rootFn.addChild(joint, MFnDagNode::kNextPos, false));
    EXPECT_EQ(fullPath(joint), "|qvxTransform|Bip01");

    MFnDependencyNode depFn(joint);
    MObject attr = depFn.attribute("rotateZ", &status);
    ASSERT_TRUE(status);
    MPlug plug(joint, attr);
    MFnAnimCurve curve;
    curve.create(plug, MFnAnimCurve::kAnimCurveTA, NULL, &status);
    ASSERT_TRUE(status);
    curve.addKey(MTime(0.5, MTime::kSeconds), 0.25, MFnAnimCurve::kTangentGlobal,
                 MFnAnimCurve::kTangentGlobal);
    EXPECT_EQ(curve.name(), "Bip01_rotateZ");
    MAnimControl::setCurrentTime(MTime(12, MTime::kFilm));
    double rz = 0;
    plug.getValue(rz);
    EXPECT_DOUBLE_EQ(rz, 0.25);
    depFn.attribute("noSuchAttribute", &status);
    EXPECT_FALSE(status);
}

TEST_F(ImportBuild, LowestFreeTextureListElement) {
    MItDependencyNodes lists(MFn::kTextureList);
    ASSERT_FALSE(lists.isDone());
    MFnDependencyNode listFn(lists.item());
    MPlug textures = listFn.findPlug("textures");
    MObject file1 = dgNode("place2dTexture");
    MObject file2 = dgNode("place2dTexture");
    for (MObject node : {file1, file2}) {
        unsigned int index = 0;
        while (textures.elementByLogicalIndex(index).isConnected()) ++index;
        MDGModifier mod;
        mod.connect(MFnDependencyNode(node).findPlug("message"), textures.elementByLogicalIndex(index));
        ASSERT_TRUE(mod.doIt());
    }
    EXPECT_EQ(textures.numElements(), 2u);
    MPlugArray src;
    textures.elementByLogicalIndex(1).connectedTo(src, true, false);
    ASSERT_EQ(src.length(), 1u);
    EXPECT_EQ(src[0].node(), file2);
}

using HostValues = SceneTest;

TEST_F(HostValues, FileObjectJoinsNameAndFolder) {
    auto dir = std::filesystem::temp_directory_path() / "mayasim_fileobject_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "tex.png") << "x";
    MFileObject f;
    f.setName("tex.png");
    f.setRawPath(dir.string().c_str());
    EXPECT_EQ(f.expandedFullName(), (dir / "tex.png").string().c_str());
    EXPECT_TRUE(f.exists());
    f.setName("missing.png");
    EXPECT_FALSE(f.exists());
    MFileObject g;
    g.setFullName("C:\\scenes\\a.qvx");
    EXPECT_EQ(g.name(), "a.qvx");
    EXPECT_EQ(g.fullName(), "C:\\scenes\\a.qvx");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

TEST_F(HostValues, StringArrayBoundsAreChecked) {
    MStringArray a;
    EXPECT_FALSE(a.remove(0));
    EXPECT_FALSE(a.set("x", 0));
    a.append("a");
    EXPECT_TRUE(a.insert("b", 0));
    EXPECT_FALSE(a.insert("c", 5));
    ASSERT_EQ(a.length(), 2u);
    EXPECT_EQ(a[0], "b");
    a.setLength(3);
    EXPECT_EQ(a[2], "");
}

TEST_F(HostValues, StatusTextsNameTheirCode) {
    EXPECT_EQ(MStatus(MS::kNotFound).errorString(), "(kNotFound): Object not found");
    MStatus s(MS::kFailure);
    s.clear();
    EXPECT_TRUE(s);
}

}  // namespace
