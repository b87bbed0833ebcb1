// Scenes real Maya wrote, opened through MFileIO and read back through the API as the plug-in reads
// them. Expected values are the ones stored in the files.
#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFileIO.h>
#include <maya/MFloatArray.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SceneFixture.h"
#include "mayasim/MaFile.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

std::string scenesDir() {
    if (const char* env = std::getenv("MAYASIM_MA_SCENES")) return env;
    return MAYASIM_MA_SCENES;
}

std::string scenePath(const char* file) {
    return scenesDir() + "/" + file;
}

class MaSharedScenesTest : public SceneTest {
  protected:
    // Opens a shared scene; false (the test skips) when the folder is absent.
    bool open(const char* file) {
        if (!std::ifstream(scenePath(file))) return false;
        MStatus st = MFileIO::open(scenePath(file).c_str());
        report = mayasim::lastMaLoadReport();
        EXPECT_TRUE(st) << report.error;
        return static_cast<bool>(st);
    }
    static std::vector<std::array<double, 3>> points(const MDagPath& p) {
        MFnMesh mesh(p);
        MPointArray pts;
        mesh.getPoints(pts);
        std::vector<std::array<double, 3>> out;
        for (unsigned i = 0; i < pts.length(); ++i) out.push_back({pts[i].x, pts[i].y, pts[i].z});
        return out;
    }
    static std::vector<int> corners(const MDagPath& p, int polygon) {
        MIntArray v;
        MFnMesh(p).getPolygonVertices(polygon, v);
        std::vector<int> out;
        for (unsigned i = 0; i < v.length(); ++i) out.push_back(v[i]);
        return out;
    }
    static double plugValue(const char* nodeName, const char* attr) {
        return MFnDependencyNode(node(nodeName)).findPlug(attr).asDouble();
    }
    static std::string plugString(const char* nodeName, const char* attr) {
        return MFnDependencyNode(node(nodeName)).findPlug(attr).asString().asChar();
    }
    mayasim::MaLoadReport report;
};

#define OPEN_OR_SKIP(file) \
    if (!open(file)) GTEST_SKIP() << "shared Maya scenes not found in " << scenesDir()

// The unit cube of SingleJointCubeAnim.ma, in its point order.
const std::vector<std::array<double, 3>> kSingleJointCube = {
    {-0.5, -0.5, 0.5}, {0.5, -0.5, 0.5}, {-0.5, 0.5, 0.5},   {0.5, 0.5, 0.5},
    {-0.5, 0.5, -0.5}, {0.5, 0.5, -0.5}, {-0.5, -0.5, -0.5}, {0.5, -0.5, -0.5}};

void expectPoints(const std::vector<std::array<double, 3>>& got,
                  const std::vector<std::array<double, 3>>& want, double tolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(got[i][c], want[i][c], tolerance) << "point " << i << "." << c;
}

TEST_F(MaSharedScenesTest, FlatTetrahedron_PointsCornersUVsColoursAndHardEdges) {
    OPEN_OR_SKIP("FlatTetrahedron.ma");
    MDagPath shape = path("pPyramidShape1");
    expectPoints(points(shape),
                 {{-0.2886751, -0.40824831, -0.50000006},
                  {-0.28867516, -0.40824831, 0.49999997},
                  {0.57735026, -0.40824831, 0},
                  {0, 0.40824831, 0}},
                 1e-7);
    MFnMesh mesh(shape);
    ASSERT_EQ(mesh.numPolygons(), 4);
    // "f 3 -3 -2 -1": reversed edges 2, 1, 0 start at vertices 0, 2, 1.
    EXPECT_EQ(corners(shape, 0), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(corners(shape, 1), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(corners(shape, 2), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(corners(shape, 3), (std::vector<int>{2, 0, 3}));
    ASSERT_EQ(mesh.numEdges(), 6);
    for (int e = 0; e < 6; ++e) EXPECT_FALSE(mesh.isEdgeSmooth(e)) << e;
    int2 ends;
    mesh.getEdgeVertices(5, ends);
    EXPECT_EQ(ends[0], 2);
    EXPECT_EQ(ends[1], 3);

    MString uvSet("map1");
    EXPECT_EQ(mesh.numUVs(uvSet), 8);
    int uv = -1;
    ASSERT_TRUE(mesh.getPolygonUVid(0, 1, uv, &uvSet));
    EXPECT_EQ(uv, 2);
    MFloatArray us, vs;
    mesh.getUVs(us, vs, &uvSet);
    EXPECT_FLOAT_EQ(us[0], 0.375f);
    EXPECT_FLOAT_EQ(vs[0], 0.033493623f);

    MStringArray colorSets;
    mesh.getColorSetNames(colorSets);
    ASSERT_EQ(colorSets.length(), 1u);
    EXPECT_STREQ(colorSets[0].asChar(), "colorSet1");
    EXPECT_STREQ(mesh.currentColorSetName().asChar(), "colorSet1");
    MColorArray colors;
    MString set("colorSet1");
    mesh.getColors(colors, &set);
    ASSERT_EQ(colors.length(), 12u);
    int colorId = -1;
    mesh.getFaceVertexColorIndex(0, 0, colorId, &set);
    EXPECT_EQ(colorId, 9);
    EXPECT_FLOAT_EQ(colors[9].r, 1.0f);
    EXPECT_FLOAT_EQ(colors[9].g, 0.40400001f);
    EXPECT_FLOAT_EQ(colors[0].b, 0.68400002f);
    EXPECT_FLOAT_EQ(colors[0].a, 1.0f);
}

TEST_F(MaSharedScenesTest, FileCommandOpensAndImportsSceneFiles) {
    if (!std::ifstream(scenePath("FlatTetrahedron.ma"))) GTEST_SKIP() << "shared Maya scenes not found";
    ASSERT_TRUE(MGlobal::executeCommand(("file -f -o \"" + scenePath("FlatTetrahedron.ma") + "\"").c_str()));
    EXPECT_EQ(MFnMesh(path("pPyramidShape1")).numVertices(), 4);
    ASSERT_TRUE(MGlobal::executeCommand(("file -i \"" + scenePath("CubeGrid1.ma") + "\"").c_str()));
    EXPECT_EQ(MFnMesh(path("pPyramidShape1")).numVertices(), 4);
    EXPECT_EQ(MFnMesh(path("pCube5Shape")).numVertices(), 1376);
}

TEST_F(MaSharedScenesTest, CubeGrid_FacesInFiveLambertsThroughObjectGroups) {
    OPEN_OR_SKIP("CubeGrid1.ma");
    MDagPath shape = path("pCube5Shape");
    MFnMesh mesh(shape);
    EXPECT_EQ(mesh.numVertices(), 1376);
    EXPECT_EQ(mesh.numPolygons(), 1032);
    expectPoints({points(shape)[0], points(shape)[1375]}, {{-4.5, -0.5, 0.5}, {-9.5, -0.5, -10.5}}, 1e-9);
    MObjectArray groups;
    MIntArray faceGroup;
    ASSERT_TRUE(mesh.getConnectedShaders(0, groups, faceGroup));
    ASSERT_EQ(groups.length(), 6u);
    const char* names[] = {"initialShadingGroup", "lambert2SG", "lambert3SG",
                           "lambert4SG",          "lambert5SG", "lambert6SG"};
    for (unsigned i = 0; i < 6; ++i) EXPECT_EQ(nameOf(groups[i]), names[i]);
    ASSERT_EQ(faceGroup.length(), 1032u);
    // og[0] "f[0:47]" ... ; og[1] "f[480:485]"; og[5] "f[48:53]"; og[4] "f[588:593]".
    EXPECT_EQ(faceGroup[0], 0);
    EXPECT_EQ(faceGroup[47], 0);
    EXPECT_EQ(faceGroup[48], 5);
    EXPECT_EQ(faceGroup[480], 1);
    EXPECT_EQ(faceGroup[485], 1);
    EXPECT_EQ(faceGroup[590], 4);
    EXPECT_EQ(faceGroup[626], 2);
    EXPECT_EQ(faceGroup[612], 3);
    EXPECT_EQ(faceGroup[1031], 0);
    EXPECT_FLOAT_EQ(plugValue("lambert2", "colorR"), 1.0f);
    EXPECT_FLOAT_EQ(plugValue("lambert2", "colorG"), 0.0f);
    EXPECT_FLOAT_EQ(plugValue("lambert5", "colorB"), 1.0f);
    EXPECT_FLOAT_EQ(plugValue("lambert6", "colorG"), 1.0f);
}

TEST_F(MaSharedScenesTest, CubeNormalBaking_TexturePathsAndShaderValues) {
    OPEN_OR_SKIP("CubeNormalBakingTest.ma");
    EXPECT_EQ(plugString("normal_map_file", "fileTextureName"),
              "C:/dev/glTF/Maya2glTF/maya//images/cube_flat-on-soft_normal.png");
    EXPECT_EQ(plugString("file4", "ftn"), "C:/dev/glTF/Maya2glTF/maya//renderData/images/brdfLUT.dds");
    EXPECT_EQ(MFnDependencyNode(node("Material")).typeName(), MString("phong"));
    EXPECT_FLOAT_EQ(plugValue("Material", "cosinePower"), 9.6078433990478516f);
    EXPECT_FLOAT_EQ(plugValue("Material", "colorR"), 0.80000001f);
    EXPECT_FLOAT_EQ(plugValue("surfaceSamplingEnvelopeShader", "transparencyG"), 0.25f);
    // A plug-in shader type the stand-in does not model keeps its connections.
    MObject glsl = node("GLSL_PBR_Shader");
    EXPECT_EQ(MFnDependencyNode(glsl).typeName(), MString("GLSLShader"));
    MPlug normal = MFnDependencyNode(glsl).findPlug("u_NormalTexture");
    ASSERT_FALSE(normal.isNull());
    MPlugArray sources;
    normal.connectedTo(sources, true, false);
    ASSERT_EQ(sources.length(), 1u);
    EXPECT_EQ(nameOf(sources[0].node()), "normal_map_file");
    MFnMesh soft(path("SoftCubeShape"));
    EXPECT_EQ(soft.numVertices(), 8);
    EXPECT_EQ(soft.numPolygons(), 12);
}

TEST_F(MaSharedScenesTest, NestedSpheres_InstancesLightAndHistoryTheStandInCannotEvaluate) {
    OPEN_OR_SKIP("NestedTransparentEmissiveSpheres.ma");
    MDagPathArray paths;
    MDagPath::getAllPathsTo(node("pSphereShape2"), paths);
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_STREQ(paths[0].fullPathName().asChar(), "|pSphere1|pSphere4|pSphereShape2");
    EXPECT_STREQ(paths[1].fullPathName().asChar(), "|pSphere3|pSphere2|pSphereShape2");
    // polyNormal passes the stored geometry of the intermediate shape through.
    EXPECT_EQ(MFnMesh(paths[0]).numVertices(), 382);
    EXPECT_EQ(MFnMesh(path("pSphereShape3")).numPolygons(), 400);
    // polySphere history is not evaluated: no points, and the report says so.
    EXPECT_EQ(MFnMesh(path("pSphereShape1")).numVertices(), 0);
    bool named = false;
    for (const std::string& line : report.notEvaluated)
        named = named || line.find("pSphereShape1") != std::string::npos;
    EXPECT_TRUE(named) << report.text();
    EXPECT_TRUE(MFnDependencyNode(node("directionalLightShape1")).object().hasFn(MFn::kDirectionalLight));
    EXPECT_FLOAT_EQ(plugValue("lambert3", "transparencyR"), 0.5f);
    EXPECT_FLOAT_EQ(plugValue("lambert4", "colorG"), 1.0f);
    // Both instances of the shape are in lambert3's group.
    MObjectArray groups;
    MIntArray faceGroup;
    MFnMesh(paths[1]).getConnectedShaders(1, groups, faceGroup);
    ASSERT_EQ(groups.length(), 1u);
    EXPECT_EQ(nameOf(groups[0]), "lambert3SG");
}

TEST_F(MaSharedScenesTest, TwoJointsNoRoot_PolyCubeHistoryMatchesTheStoredCopy) {
    OPEN_OR_SKIP("TwoJointsNoRoot.ma");
    // group1's Orig shape comes from polyCube1 (height 2, two height subdivisions); group2's Orig1 holds
    // the same cube stored explicitly.
    MDagPath evaluated = path("|group1|pCube1|pCubeShape1Orig");
    MDagPath stored = path("|group2|pCube1|pCubeShape1Orig1");
    expectPoints(points(evaluated), points(stored), 1e-9);
    MFnMesh a(evaluated), b(stored);
    ASSERT_EQ(a.numPolygons(), 10);
    ASSERT_EQ(a.numEdges(), b.numEdges());
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(corners(evaluated, p), corners(stored, p)) << "polygon " << p;
        for (int k = 0; k < 4; ++k) {
            int ua = -1, ub = -1;
            a.getPolygonUVid(p, k, ua);
            b.getPolygonUVid(p, k, ub);
            EXPECT_EQ(ua, ub) << "polygon " << p << " corner " << k;
        }
    }
    for (int e = 0; e < b.numEdges(); ++e) {
        int2 ea, eb;
        a.getEdgeVertices(e, ea);
        b.getEdgeVertices(e, eb);
        EXPECT_EQ(ea[0], eb[0]) << e;
        EXPECT_EQ(ea[1], eb[1]) << e;
        EXPECT_EQ(a.isEdgeSmooth(e), b.isEdgeSmooth(e)) << e;
    }
    MFloatArray ua, va, ub, vb;
    a.getUVs(ua, va);
    b.getUVs(ub, vb);
    ASSERT_EQ(ua.length(), ub.length());
    for (unsigned i = 0; i < ua.length(); ++i) {
        EXPECT_FLOAT_EQ(ua[i], ub[i]) << i;
        EXPECT_FLOAT_EQ(va[i], vb[i]) << i;
    }
}

TEST_F(MaSharedScenesTest, TwoJointsNoRoot_JointsAndWeights) {
    OPEN_OR_SKIP("TwoJointsNoRoot.ma");
    // A joint at rest: its world rotation is the joint orientation, which the stored bind pose holds.
    MMatrix m = path("|group1|joint1").inclusiveMatrix();
    const double bindRotation[3][3] = {{-0.0077517050781625851, 0.99996995508284214, 0},
                                       {0.99996995508284214, 0.0077517050781625851, 1.2246467991473535e-16},
                                       {1.2246100047357252e-16, 9.4931008119060876e-19, -1}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(m(r, c), bindRotation[r][c], 1e-12) << r << c;
    EXPECT_NEAR(m(3, 0), -0.58669802684389294, 1e-12);
    EXPECT_NEAR(m(3, 1), -0.48466358739278137, 1e-12);
    // ".cap" is the camera's horizontal and vertical film aperture.
    EXPECT_DOUBLE_EQ(plugValue("cameraShape1", "horizontalFilmAperture"), 1.4173);
    EXPECT_DOUBLE_EQ(plugValue("cameraShape1", "verticalFilmAperture"), 0.9449);

    MFnSkinCluster skin(node("skinCluster1"));
    MDagPathArray influences;
    ASSERT_EQ(skin.influenceObjects(influences), 2u);
    EXPECT_STREQ(influences[0].fullPathName().asChar(), "|group1|joint1");
    EXPECT_STREQ(influences[1].fullPathName().asChar(), "|group1|joint2");
    MDoubleArray weights;
    unsigned count = 0;
    ASSERT_TRUE(skin.getWeights(path("|group1|pCube1|pCubeShape1"), MObject(), weights, count));
    ASSERT_EQ(count, 2u);
    ASSERT_EQ(weights.length(), 24u);
    EXPECT_DOUBLE_EQ(weights[0], 0.91935410031189824);
    EXPECT_DOUBLE_EQ(weights[1], 0.080645899688101791);
    EXPECT_DOUBLE_EQ(weights[2 * 5 + 1], 0.92026054128969537);
}

TEST_F(MaSharedScenesTest, DoubleMesh_WeightsOverFiveJointsPlaneHistoryAndKeys) {
    OPEN_OR_SKIP("DoubleMeshSkinWeldTestAnim.ma");
    MFnSkinCluster skin(node("skinCluster2"));
    MDagPathArray influences;
    ASSERT_EQ(skin.influenceObjects(influences), 5u);
    EXPECT_STREQ(influences[4].partialPathName().asChar(), "joint5");
    MDoubleArray weights;
    unsigned count = 0;
    ASSERT_TRUE(skin.getWeights(path("triShape2"), MObject(), weights, count));
    ASSERT_EQ(count, 5u);
    // "4 0 0.0192 1 0.4808 2 0.4808 3 0.0192" and "2 3 0.5 4 0.5".
    EXPECT_DOUBLE_EQ(weights[0], 0.019230769230769221);
    EXPECT_DOUBLE_EQ(weights[1], 0.48076923076923084);
    EXPECT_DOUBLE_EQ(weights[4], 0.0);
    EXPECT_DOUBLE_EQ(weights[10 + 3], 0.5);
    EXPECT_DOUBLE_EQ(weights[10 + 4], 0.5);
    EXPECT_DOUBLE_EQ(weights[10 + 0], 0.0);

    // The second triangle's transform stands 3 up; its shape sits below it.
    MMatrix tri2 = path("triShape2").inclusiveMatrix();
    EXPECT_DOUBLE_EQ(tri2(3, 1), 3.0);
    EXPECT_EQ(MFnDagNode(path("tri2")).childCount(), 2u);
    EXPECT_TRUE(MFnDagNode(path("triShape2Orig2")).isIntermediateObject());
    EXPECT_STREQ(path("joint5").fullPathName().asChar(), "|joint1|joint2|joint3|joint4|joint5");

    // polyPlane1: width 3, one subdivision each way.
    expectPoints(points(path("pPlaneShape1")),
                 {{-1.5, 0, 0.5}, {1.5, 0, 0.5}, {-1.5, 0, -0.5}, {1.5, 0, -0.5}}, 1e-12);
    EXPECT_EQ(corners(path("pPlaneShape1"), 0), (std::vector<int>{0, 1, 3, 2}));

    MFnAnimCurve curve(node("joint1_rotateZ"));
    ASSERT_EQ(curve.numKeys(), 2u);
    EXPECT_DOUBLE_EQ(curve.time(1).as(MTime::kFilm), 20.0);
    EXPECT_NEAR(curve.value(1), 36 * kDeg, 1e-12);
    EXPECT_EQ(curve.outTangentType(0), MFnAnimCurve::kTangentAuto);
    MFnAnimCurve tz(node("joint1_translateY"));
    EXPECT_DOUBLE_EQ(tz.value(0), 0.0);
}

TEST_F(MaSharedScenesTest, SingleJointCube_PolyCubeAndAnimatedJoint) {
    OPEN_OR_SKIP("SingleJointCubeAnim.ma");
    expectPoints(points(path("skinned_cubeShape1Orig")), kSingleJointCube, 1e-12);
    EXPECT_EQ(corners(path("skinned_cubeShape1Orig"), 4), (std::vector<int>{1, 7, 5, 3}));
    EXPECT_EQ(corners(path("skinned_cubeShape1Orig"), 5), (std::vector<int>{6, 0, 2, 4}));
    MFnAnimCurve tz(node("joint1_translateZ"));
    ASSERT_EQ(tz.numKeys(), 2u);
    EXPECT_DOUBLE_EQ(tz.value(1), 1.0);
}

TEST_F(MaSharedScenesTest, RigPhong_SkinnedCubeUnknownTypesKeepAttributes) {
    OPEN_OR_SKIP("CubeNormalBakingRigTestPhong.ma");
    EXPECT_EQ(MFnMesh(path("SoftCubeShapeOrig")).numVertices(), 8);
    // The visible shape takes its topology through the tweak and groupParts chain.
    EXPECT_EQ(MFnMesh(path("SoftCubeShape")).numPolygons(), 12);
    MFnSkinCluster skin(node("skinCluster1"));
    MDagPathArray influences;
    EXPECT_EQ(skin.influenceObjects(influences), 1u);
    EXPECT_EQ(MFnDependencyNode(node("envCube1")).typeName(), MString("envCube"));
    // "place2dTexture1.r" is the placement's rotateUV, feeding the file texture's.
    MPlugArray sources;
    MFnDependencyNode(node("normal_map_file")).findPlug("rotateUV").connectedTo(sources, true, false);
    ASSERT_EQ(sources.length(), 1u);
    EXPECT_STREQ(sources[0].name().asChar(), "place2dTexture1.rotateUV");
}

}  // namespace

namespace {

// Deformed points: the skinned shapes read what the skin cluster computes from the Orig shape, the
// tweaks, the weights and the joints, at the file's current time.
class MaDeformedScenesTest : public MaSharedScenesTest {};

TEST_F(MaDeformedScenesTest, TwoJointsNoRoot_SkinnedPointsEqualTheStoredDeformedCopy) {
    OPEN_OR_SKIP("TwoJointsNoRoot.ma");
    // The joints of group1 stand away from their bind pose; group2 holds a copy of the deformed cube as
    // stored points (its joints are not bound).
    expectPoints(points(path("|group1|pCube1|pCubeShape1")), points(path("|group2|pCube1|pCubeShape1")),
                 1e-6);
}

TEST_F(MaDeformedScenesTest, SingleJointCube_PointsFollowTheAnimatedJoint) {
    OPEN_OR_SKIP("SingleJointCubeAnim.ma");
    const std::vector<std::array<double, 3>>& cube = kSingleJointCube;
    // The file's current time is frame 77, after the last key (frame 20, translateZ 1).
    std::vector<std::array<double, 3>> moved = cube;
    for (auto& p : moved) p[2] += 1.0;
    expectPoints(points(path("skinned_cubeShape")), moved, 1e-9);
    // At frame 1 the joint is at its bind pose: the bind points.
    MAnimControl::setCurrentTime(MTime(1.0, MTime::kFilm));
    expectPoints(points(path("skinned_cubeShape")), cube, 1e-9);
}

TEST_F(MaDeformedScenesTest, DoubleMesh_TweaksApplyBeforeSkinningAtTheBindPose) {
    OPEN_OR_SKIP("DoubleMeshSkinWeldTestAnim.ma");
    // Frame 1: every key of joint1 holds its bind values, so the points are the Orig points plus the
    // tweak node's offsets (0, 0, -0.5).
    MAnimControl::setCurrentTime(MTime(1.0, MTime::kFilm));
    expectPoints(points(path("triShape2")), {{-0.5, -1, 0}, {0.5, -1, 0}, {0, 1, 0}}, 1e-9);
    expectPoints(points(path("triShape1")), {{0, -1, 0}, {-0.5, 1, 0}, {0.5, 1, 0}}, 1e-9);
}

}  // namespace
