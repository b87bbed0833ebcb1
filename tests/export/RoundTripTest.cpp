#include <gtest/gtest.h>
#include <maya/MDagPath.h>
#include <maya/MFileIO.h>
#include <maya/MFnMesh.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ExportTestSupport.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"
#include "format/Loader.h"

// Scenes taken through the translator as the host drives it: exported with the plug-in's
// writer, opened again with its reader, and compared corner by corner. A plug-in whose
// write request does not gather yet writes no geometry, and one whose read request does
// not build yet makes none; the round trips are skipped until both do.
namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

constexpr const char* kModulePath = QVX_PLUGIN_MODULE;
constexpr const char* kTranslator = "Tavrin Pro";

// What a round trip must keep, per polygon corner in polygon order.
struct Corner {
    Vec3 position;
    float u = 0.0f;
    float v = 0.0f;
    bool hasUV = false;
    std::vector<std::pair<std::string, float>> weights;  // by bone name, sorted
};

struct Snapshot {
    std::vector<std::vector<Corner>> polygons;
    std::vector<std::string> materials;  // per polygon
    std::set<std::string> textures;      // file-name parts
};

std::string fileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// From a scene in the file's form: after preparation, or as loaded.
Snapshot snapshotOf(const Scene& scene) {
    Snapshot out;
    if (scene.meshes.count() == 0) return out;
    const Mesh& mesh = scene.meshes[0];
    const UVSet* uvs = nullptr;
    if (mesh.uvSets.count() > 0 && mesh.uvSets[0].coordCount() > 0) {
        uvs = &mesh.uvSets[0];
    } else if (scene.uvSets.count() > 0) {
        uvs = &scene.uvSets[0];
    }
    for (const Polygon& polygon : mesh.polygons) {
        std::vector<Corner> corners;
        for (int k = 0; k < polygon.cornerCount(); ++k) {
            Corner corner;
            const int v = polygon.vertexIndices()[k];
            if (scene.vertices.validIndex(v)) {
                const Vertex& vertex = scene.vertices[v];
                corner.position = vertex.position;
                for (const VertexWeight& w : vertex.weights) {
                    if (scene.bones.validIndex(w.boneIndex) && w.weight > 0.0f) {
                        corner.weights.emplace_back(scene.bones[w.boneIndex].name.narrow, w.weight);
                    }
                }
                std::sort(corner.weights.begin(), corner.weights.end());
            }
            const int uv = polygon.uvChannelCount() > 0 ? polygon.uvs(0).uvIndices[k] : -1;
            if (uvs != nullptr && uvs->coords.validIndex(uv)) {
                corner.hasUV = true;
                corner.u = uvs->coords[uv].u;
                corner.v = uvs->coords[uv].v;
            }
            corners.push_back(std::move(corner));
        }
        out.polygons.push_back(std::move(corners));
        out.materials.push_back(scene.materials.validIndex(polygon.materialIndex)
                                    ? scene.materials[polygon.materialIndex].name.narrow
                                    : std::string());
    }
    for (const Material& material : scene.materials) {
        for (const auto& layer : material.layers) {
            if (layer == nullptr) continue;
            if (layer->path.narrow[0] != '\0') out.textures.insert(fileNamePart(layer->path.narrow));
            for (const LayerSubEntry& entry : layer->subEntries) {
                if (entry.path.narrow[0] != '\0') out.textures.insert(fileNamePart(entry.path.narrow));
            }
        }
    }
    return out;
}

// Material names as the host gives them back: a new scene already holds the default
// "lambert1", so the imported copy of it is numbered on ("lambert2").
std::string withoutNumber(const std::string& name) {
    return name.substr(0, name.find_last_not_of("0123456789") + 1);
}

void expectSameScene(const Snapshot& expected, const Snapshot& actual) {
    ASSERT_EQ(expected.polygons.size(), actual.polygons.size());
    for (std::size_t p = 0; p < expected.polygons.size(); ++p) {
        ASSERT_EQ(expected.polygons[p].size(), actual.polygons[p].size()) << "polygon " << p;
        for (std::size_t k = 0; k < expected.polygons[p].size(); ++k) {
            const Corner& a = expected.polygons[p][k];
            const Corner& b = actual.polygons[p][k];
            EXPECT_NEAR(a.position.x, b.position.x, 1e-4) << p << "/" << k;
            EXPECT_NEAR(a.position.y, b.position.y, 1e-4) << p << "/" << k;
            EXPECT_NEAR(a.position.z, b.position.z, 1e-4) << p << "/" << k;
            EXPECT_EQ(a.hasUV, b.hasUV) << p << "/" << k;
            EXPECT_NEAR(a.u, b.u, 1e-5) << p << "/" << k;
            EXPECT_NEAR(a.v, b.v, 1e-5) << p << "/" << k;
            ASSERT_EQ(a.weights.size(), b.weights.size()) << p << "/" << k;
            for (std::size_t w = 0; w < a.weights.size(); ++w) {
                EXPECT_EQ(a.weights[w].first, b.weights[w].first) << p << "/" << k;
                EXPECT_NEAR(a.weights[w].second, b.weights[w].second, 1e-5) << p << "/" << k;
            }
        }
    }
    ASSERT_EQ(expected.materials.size(), actual.materials.size());
    for (std::size_t p = 0; p < expected.materials.size(); ++p) {
        const std::string& a = expected.materials[p];
        const std::string& b = actual.materials[p];
        EXPECT_TRUE(a == b || (!withoutNumber(a).empty() && withoutNumber(a) == withoutNumber(b)))
            << "polygon " << p << ": " << a << " / " << b;
    }
    EXPECT_EQ(expected.textures, actual.textures);
}

class TranslatorRoundTrip : public HostSceneTest {
  protected:
    void SetUp() override {
        HostSceneTest::SetUp();
        std::string error;
        ASSERT_TRUE(mayasim::loadPlugin(kModulePath, &error)) << error;
    }
    void TearDown() override {
        if (mayasim::isPluginLoaded(kModulePath)) mayasim::unloadPlugin(kModulePath);
        HostSceneTest::TearDown();
    }

    // The current host scene as the export would write it.
    static Snapshot hostSnapshot() {
        Scene scene;
        EXPECT_TRUE(gatherAndPrepare(scene));
        return snapshotOf(scene);
    }
    static Snapshot fileSnapshot(const std::string& path) {
        Scene scene;
        EXPECT_EQ(loadSceneFile(path, scene), QVX_RESULT_OK) << path;
        return snapshotOf(scene);
    }
    // Exports the host scene with the translator; false when the file holds no geometry.
    static bool exportWithTranslator(const std::string& path) {
        if (!MFileIO::exportAll(path.c_str(), kTranslator)) return false;
        Scene written;
        return loadSceneFile(path, written) == QVX_RESULT_OK && written.meshes.count() > 0;
    }
    // Exports to `path`, then opens it in a new scene; false when either step made no geometry.
    static bool throughTranslator(const std::string& path) {
        if (!exportWithTranslator(path) || !MFileIO::open(path.c_str(), kTranslator, true)) return false;
        Scene built;
        return gatherScene(built, true) && built.meshes.count() > 0;
    }
};

// The comparison itself, on the file the export steps write from the gathered scene.
TEST_F(TranslatorRoundTrip, WrittenFileHoldsWhatWasGathered) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    ShadedScene wood;
    ASSERT_TRUE(phongWithFileTexture(wood));
    const Snapshot gathered = hostSnapshot();
    ASSERT_EQ(gathered.polygons.size(), 33u);
    EXPECT_EQ(gathered.textures, std::set<std::string>{"wood.png"});
    const std::string path = temporaryPath("steps.qvx");
    ASSERT_TRUE(exportHostScene(path));
    expectSameScene(gathered, fileSnapshot(path));
}

TEST_F(TranslatorRoundTrip, SkinnedCylinderComesBackTheSame) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    const Snapshot before = hostSnapshot();
    ASSERT_FALSE(before.polygons.empty());
    const std::string path = temporaryPath("skinned.qvx");
    if (!throughTranslator(path)) GTEST_SKIP() << "the translator does not write and read geometry yet";
    expectSameScene(before, hostSnapshot());
}

TEST_F(TranslatorRoundTrip, TexturedMeshesComeBackTheSame) {
    ShadedScene wood;
    ASSERT_TRUE(phongWithFileTexture(wood));
    ShadedScene stone;
    ASSERT_TRUE(bumpMappedBlinn(stone));
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    const Snapshot before = hostSnapshot();
    EXPECT_EQ(before.textures, (std::set<std::string>{"wood.png", "stone_color.tga", "stone_normal.tga"}));
    const std::string path = temporaryPath("textured.qvx");
    if (!throughTranslator(path)) GTEST_SKIP() << "the translator does not write and read geometry yet";
    expectSameScene(before, hostSnapshot());
}

TEST_F(TranslatorRoundTrip, ImportedFileExportsToTheSameFile) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    ShadedScene wood;
    ASSERT_TRUE(phongWithFileTexture(wood));
    const std::string first = temporaryPath("first.qvx");
    const std::string second = temporaryPath("second.qvx");
    if (!throughTranslator(first)) GTEST_SKIP() << "the translator does not write and read geometry yet";
    ASSERT_TRUE(exportWithTranslator(second));
    expectSameScene(fileSnapshot(first), fileSnapshot(second));
}

TEST_F(TranslatorRoundTrip, VertexColoursComeBackInTheFirstColourSet) {
    MeshBuild mesh;
    ASSERT_TRUE(meshWithUVAndColorSets(mesh));
    const std::string path = temporaryPath("colours.qvx");
    if (!throughTranslator(path)) GTEST_SKIP() << "the translator does not write and read geometry yet";
    Scene imported;
    ASSERT_TRUE(gatherScene(imported, true));
    ASSERT_EQ(imported.meshes.count(), 1);
    const Mesh& built = imported.meshes[0];
    MStringArray sets;
    MDagPath builtPath;
    MSelectionList list;
    ASSERT_TRUE(list.add(built.path.c_str()));
    ASSERT_TRUE(list.getDagPath(0, builtPath));
    ASSERT_TRUE(MFnMesh(builtPath).getColorSetNames(sets));
    ASSERT_GE(sets.length(), 1u);
    EXPECT_STREQ(sets[0].asChar(), "colorSet1");
    // Point i of the strip sits at x = i % 3, z = -(i / 3) and was coloured (i / 5, 1 - i / 5, 0).
    ASSERT_EQ(built.vertices.count(), 6);
    for (const Vertex& vertex : built.vertices) {
        const int i = static_cast<int>(std::lround(vertex.position.x)) -
                      3 * static_cast<int>(std::lround(vertex.position.z));
        EXPECT_NEAR(vertex.color.r, i / 5.0f, 1e-5) << i;
        EXPECT_NEAR(vertex.color.g, 1.0f - i / 5.0f, 1e-5) << i;
    }
}

}  // namespace
