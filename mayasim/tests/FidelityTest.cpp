// Calls whose answers the import and export lean on, checked against what Maya answers: camera
// creation, world-space queries without a DAG path, dependency-graph walks and Maya's short
// attribute names.
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTransform.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MVector.h>

#include <string>
#include <utility>
#include <vector>

#include "SceneFixture.h"

namespace {

MPlug plugOf(const MObject& node, const char* name) {
    return MFnDependencyNode(node).findPlug(name);
}

bool connect(const MPlug& src, const MPlug& dst) {
    MDGModifier mod;
    return mod.connect(src, dst) && mod.doIt();
}

using CameraCreation = SceneTest;

TEST_F(CameraCreation, WithoutAParentMakesATransformAndReturnsIt) {
    MFnCamera fn;
    MObject none;
    MStatus status;
    MObject made = fn.create(none, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(made.apiType(), MFn::kTransform);
    EXPECT_EQ(fullPath(made), "|camera1");
    EXPECT_EQ(fn.object().apiType(), MFn::kCamera);
    EXPECT_EQ(fullPath(fn.object()), "|camera1|cameraShape1");
}

TEST_F(CameraCreation, UnderAParentReturnsTheShape) {
    MObject rig = dagNode("transform", "rig");
    MFnCamera fn;
    MStatus status;
    MObject made = fn.create(rig, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(made.apiType(), MFn::kCamera);
    EXPECT_EQ(fullPath(made), "|rig|cameraShape1");
}

// "Must have a DAG path to do world space transforms": sets attached to an object refuse world
// space and keep answering in object space.
class WorldSpace : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        MFnMesh fn;
        transform = triangle(fn);
        shape = fn.object();
        MFnTransform(transform).setTranslation(MVector(0, 0, 5), MSpace::kTransform);
        MDagPath::getAPathTo(shape, shapePath);
    }
    MObject transform, shape;
    MDagPath shapePath;
};

TEST_F(WorldSpace, MeshPointsNeedAPath) {
    MFnMesh byObject(shape);
    MPointArray pts;
    MFloatPointArray floats;
    MPoint p;
    EXPECT_FALSE(byObject.getPoints(pts, MSpace::kWorld));
    EXPECT_FALSE(byObject.getPoints(floats, MSpace::kWorld));
    EXPECT_FALSE(byObject.getPoint(1, p, MSpace::kWorld));
    ASSERT_TRUE(byObject.getPoint(1, p, MSpace::kObject));
    EXPECT_DOUBLE_EQ(p.z, 0);
    ASSERT_TRUE(MFnMesh(shapePath).getPoint(1, p, MSpace::kWorld));
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.z, 5);
    MVector normal;
    MItMeshPolygon fromObject(shape);
    EXPECT_FALSE(fromObject.getNormal(normal, MSpace::kWorld));
    EXPECT_TRUE(fromObject.getNormal(normal, MSpace::kObject));
}

TEST_F(WorldSpace, TransformTranslationNeedsAPath) {
    MFnTransform byObject(transform);
    MStatus status;
    byObject.getTranslation(MSpace::kWorld, &status);
    EXPECT_FALSE(status);
    EXPECT_DOUBLE_EQ(byObject.getTranslation(MSpace::kTransform, &status).z, 5);
    EXPECT_TRUE(status);
    MDagPath path;
    MDagPath::getAPathTo(transform, path);
    EXPECT_DOUBLE_EQ(MFnTransform(path).getTranslation(MSpace::kWorld, &status).z, 5);
    EXPECT_TRUE(status);
}

TEST_F(WorldSpace, CameraAndLightDirectionsNeedAPath) {
    MFnCamera camera;
    camera.create();
    MStatus status;
    camera.viewDirection(MSpace::kWorld, &status);
    EXPECT_FALSE(status);
    camera.upDirection(MSpace::kWorld, &status);
    EXPECT_FALSE(status);
    camera.rightDirection(MSpace::kWorld, &status);
    EXPECT_FALSE(status);
    const MVector local = camera.viewDirection(MSpace::kObject, &status);
    EXPECT_TRUE(status);
    EXPECT_DOUBLE_EQ(local.z, -1);
    MDagPath cameraPath;
    ASSERT_TRUE(camera.getPath(cameraPath));
    MFnCamera(cameraPath).viewDirection(MSpace::kWorld, &status);
    EXPECT_TRUE(status);

    MFnDirectionalLight light;
    light.create(MObject::kNullObj, true, true);
    light.lightDirection(&status);
    EXPECT_FALSE(status);
    MDagPath lightPath;
    ASSERT_TRUE(light.getPath(lightPath));
    const MFloatVector d = MFnDirectionalLight(lightPath).lightDirection(0, MSpace::kWorld, &status);
    EXPECT_TRUE(status);
    EXPECT_FLOAT_EQ(d.z, -1.0f);
}

class DependencyWalk : public SceneTest {
  protected:
    // file -> place -> lambert, and a second branch: file -> bump -> lambert.
    void SetUp() override {
        SceneTest::SetUp();
        place = dgNode("place2dTexture", "place");
        file = dgNode("file", "file");
        bump = dgNode("bump2d", "bump");
        shader = dgNode("lambert", "shader");
        connect(plugOf(place, "outUV"), plugOf(file, "uvCoord"));
        connect(plugOf(place, "wrapU"), plugOf(file, "wrapU"));
        connect(plugOf(file, "outColor"), plugOf(shader, "color"));
        connect(plugOf(file, "outAlpha"), plugOf(bump, "bumpValue"));
        connect(plugOf(bump, "outNormal"), plugOf(shader, "normalCamera"));
    }
    std::vector<std::string> walk(MItDependencyGraph& it, const char* pruneAt = nullptr) {
        std::vector<std::string> names;
        for (; !it.isDone(); it.next()) {
            names.push_back(nameOf(it.thisNode()));
            if (pruneAt && names.back() == pruneAt) it.prune();
        }
        return names;
    }
    MObject place, file, bump, shader;
};

TEST_F(DependencyWalk, PruneStopsTheWalkBelowTheCurrentNodeOnly) {
    MItDependencyGraph all(shader, MFn::kInvalid, MItDependencyGraph::kUpstream,
                           MItDependencyGraph::kBreadthFirst);
    EXPECT_EQ(walk(all), (std::vector<std::string>{"shader", "file", "bump", "place"}));
    MItDependencyGraph pruned(shader, MFn::kInvalid, MItDependencyGraph::kUpstream,
                              MItDependencyGraph::kBreadthFirst);
    // Pruning at "file" keeps "bump" and does not skip it; "place" is reached only through "file".
    EXPECT_EQ(walk(pruned, "file"), (std::vector<std::string>{"shader", "file", "bump"}));
}

TEST_F(DependencyWalk, PlugLevelVisitsANodeOncePerPlugItArrivesThrough) {
    MPlug color = plugOf(shader, "color");
    std::vector<std::string> plugs;
    MItDependencyGraph it(color, MFn::kPlace2dTexture, MItDependencyGraph::kUpstream,
                          MItDependencyGraph::kDepthFirst, MItDependencyGraph::kPlugLevel);
    for (; !it.isDone(); it.next()) plugs.push_back(it.thisPlug().name().asChar());
    EXPECT_EQ(plugs, (std::vector<std::string>{"place.outUV", "place.wrapU"}));
    MItDependencyGraph nodes(color, MFn::kPlace2dTexture, MItDependencyGraph::kUpstream,
                             MItDependencyGraph::kDepthFirst, MItDependencyGraph::kNodeLevel);
    EXPECT_EQ(walk(nodes), (std::vector<std::string>{"place"}));
}

using ShortNames = SceneTest;

TEST_F(ShortNames, AreMayas) {
    struct Case {
        const char* type;
        std::vector<std::pair<const char*, const char*>> names;  // long, short
    };
    // clang-format off
    const Case cases[] = {
        {"lambert", {{"ambientColorR", "acr"}, {"ambientColorB", "acb"}, {"colorR", "cr"}, {"diffuse", "dc"},
                     {"transparencyG", "itg"}, {"incandescenceR", "ir"}, {"outColorR", "ocr"},
                     {"normalCamera", "n"}}},
        {"phong", {{"specularColorR", "sr"}, {"reflectedColorG", "rg"}, {"cosinePower", "cp"}}},
        {"blinn", {{"specularRollOff", "sro"}}},
        {"mesh", {{"uvSet", "uvst"}, {"uvSetName", "uvsn"}, {"colorSet", "clst"}, {"colorName", "clsn"},
                  {"objectGrpCompList", "gcl"}}},
        {"spotLight", {{"colorR", "cr"}, {"colorB", "cb"}, {"shadowColor", "sc"}, {"intensity", "in"},
                       {"coneAngle", "ca"}}},
        {"transform", {{"shearXY", "shxy"}, {"translateX", "tx"}}},
        {"file", {{"fileTextureName", "ftn"}, {"rotateUV", "ro"}, {"vertexCameraOne", "vc1"},
                  {"uvFilterSize", "fs"}}},
        {"place2dTexture", {{"rotateUV", "r"}, {"outUV", "o"}, {"outUvFilterSize", "ofs"},
                            {"vertexUvOne", "vt1"}, {"repeatUV", "re"}, {"offset", "of"}}},
        {"layeredTexture", {{"inputs", "cs"}, {"blendMode", "bm"}}},
        {"bump2d", {{"bumpValue", "bv"}, {"bumpInterp", "bi"}, {"outNormal", "o"}}},
        {"uvChooser", {{"uvSets", "uvs"}}},
        {"shadingEngine", {{"surfaceShader", "ss"}}},
        {"textureList", {{"textures", "tx"}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string type = c.type;
        MObject node;
        if (type == "transform")
            node = dagNode(c.type, "");
        else if (type == "mesh" || type == "spotLight")
            node = dagNode(c.type, "", dagNode("transform", ""));
        else
            node = dgNode(c.type);
        for (const auto& [longName, shortName] : c.names) {
            MFnDependencyNode fn(node);
            MStatus status;
            MObject byLong = fn.attribute(longName, &status);
            ASSERT_TRUE(status) << c.type << "." << longName;
            EXPECT_EQ(std::string(MFnAttribute(byLong).shortName().asChar()), shortName)
                << c.type << "." << longName;
            EXPECT_TRUE(fn.attribute(shortName) == byLong) << c.type << "." << shortName;
        }
    }
}

}  // namespace
