#pragma once

// Shared by the import-build and driver tests: scenes in the file's form built in code,
// written with the project's own writer and loaded back as an import loads them, a fresh
// stand-in host per test, and queries of the host graph and of the mesh an import made.

#include <gtest/gtest.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <mayasim/Host.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "format/ExportFile.h"
#include "format/Loader.h"
#include "format/WriteOptions.h"
#include "import/ImportBuild.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace import_test {

// A folder of its own under the system's temporary folder, removed with its files.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = "/tmp/qvx_import_testXXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempFolder() {
        for (const std::string& name : entries()) std::remove((path_ + "/" + name).c_str());
        rmdir(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Names in the folder, hidden ones included.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path_.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") names.push_back(name);
            }
            closedir(dir);
        }
        return names;
    }

  private:
    std::string path_;
};

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline WriteOptions fixedOptions() {
    WriteOptions options;
    options.dateText = "Sat Dec  5 09:19:48 2026";
    return options;
}

// Writes `scene` (in the file's form) as a compressed version-31 file.
inline void writeScene(const Scene& scene, const std::string& path) {
    const ExportResult result = exportSceneFile(scene, fixedOptions(), path);
    ASSERT_TRUE(result.written) << result.error;
}

// Writes and loads `scene` as an import does (parse, then post-load preparation) into `loaded`.
inline void roundTrip(const Scene& scene, Scene& loaded) {
    TempFolder folder;
    const std::string path = folder.file("scene.qvx");
    writeScene(scene, path);
    ASSERT_EQ(loadSceneFile(path, loaded), 1);
}

// Builds `scene` into the host as an import does: after the post-load preparation when
// `prepare`, keying the stored keys when `unsampled` (else every frame).
inline MStatus importBuild(Scene& scene, bool prepare = true, bool unsampled = true) {
    if (prepare) prepareLoadedScene(scene);
    BuildRequest request(scene);
    request.unsampledKeys = unsampled;
    return buildScene(request);
}

// ---- Scene-form builders ----

inline Vertex& addVertex(Scene& scene, float x, float y, float z) {
    Vertex& v = *scene.vertices.append();
    v.position = {x, y, z};
    return v;
}

inline void addWeight(Vertex& vertex, std::int32_t bone, float weight) {
    VertexWeight& w = *vertex.weights.append();
    w.boneIndex = bone;
    w.weight = weight;
}

inline Mesh& addMesh(Scene& scene) {
    if (scene.groups.count() < scene.meshes.count() + 1) scene.groups.append();
    return *scene.meshes.append();
}

// A polygon of mesh `meshIndex` over the given vertices, with first-set UV indices `uvs`
// (none: -1 everywhere).
inline Polygon& addPolygon(Scene& scene, std::int32_t meshIndex, std::int32_t material,
                           std::vector<std::int32_t> vertices, std::vector<std::int32_t> uvs = {}) {
    Polygon& p = *scene.meshes[meshIndex].polygons.append();
    p.groupIndex = meshIndex;
    p.materialIndex = material;
    EXPECT_EQ(p.createCorners(static_cast<std::int32_t>(vertices.size())), 1);
    for (std::size_t k = 0; k < vertices.size(); ++k) p.vertexIndices()[k] = vertices[k];
    for (std::size_t k = 0; k < uvs.size(); ++k) p.uvs(0).uvIndices[k] = uvs[k];
    return p;
}

// First-set UV coordinates, both where a loaded scene keeps them (the scene's sets) and
// where the writer takes them from (mesh 0's own sets).
inline void fillCoords(UVSet& set, std::initializer_list<std::pair<float, float>> coords) {
    ASSERT_EQ(set.coords.allocate(static_cast<std::int32_t>(coords.size())), 1);
    std::int32_t i = 0;
    for (const auto& c : coords) {
        set.coords[i].u = c.first;
        set.coords[i].v = c.second;
        ++i;
    }
}

inline void addUVs(Scene& scene, std::initializer_list<std::pair<float, float>> coords) {
    if (scene.uvSets.count() == 0) scene.uvSets.allocate(2);
    fillCoords(scene.uvSets[0], coords);
    if (scene.meshes.count() > 0) {
        Mesh& mesh = scene.meshes[0];
        if (mesh.uvSets.count() == 0) mesh.uvSets.allocate(2);
        fillCoords(mesh.uvSets[0], coords);
    }
}

inline Bone& addBone(Scene& scene, const char* name, std::int32_t parent, Vec3 position = {0, 0, 0}) {
    Bone& bone = *scene.bones.append(parent);
    bone.name.set(name);
    bone.position = position;
    return bone;
}

inline Material& addMaterial(Scene& scene, const char* name) {
    Material& m = *scene.materials.append();
    m.name.set(name);
    return m;
}

// A unit quad of four vertices in mesh 0 (created when absent) with the given material.
inline void addQuad(Scene& scene, std::int32_t material, float x0 = 0.0f) {
    if (scene.meshes.count() == 0) addMesh(scene);
    const std::int32_t first = scene.vertices.count();
    addVertex(scene, x0, 0, 0);
    addVertex(scene, x0 + 1, 0, 0);
    addVertex(scene, x0 + 1, 1, 0);
    addVertex(scene, x0, 1, 0);
    addPolygon(scene, 0, material, {first, first + 1, first + 2, first + 3});
}

// ---- Host queries ----

// The node of a unique name or path; null when none or several match.
inline MObject nodeNamed(const std::string& name) {
    MSelectionList list;
    MObject node;
    if (!list.add(MString(name.c_str())) || list.length() != 1) return MObject();
    list.getDependNode(0, node);
    return node;
}

inline bool exists(const std::string& name) {
    return !nodeNamed(name).isNull();
}

inline std::string typeOf(const std::string& name) {
    return MFnDependencyNode(nodeNamed(name)).typeName().asChar();
}

inline std::string fullPath(const MObject& node) {
    MDagPath path;
    MFnDagNode(node).getPath(path);
    return path.fullPathName().asChar();
}

// Names of a DAG node's children, in order.
inline std::vector<std::string> childNames(const std::string& name) {
    MFnDagNode fn(nodeNamed(name));
    std::vector<std::string> names;
    for (unsigned int i = 0; i < fn.childCount(); ++i) {
        names.push_back(MFnDependencyNode(fn.child(i)).name().asChar());
    }
    return names;
}

inline double doubleValue(const std::string& node, const char* attribute) {
    double value = 0.0;
    MFnDependencyNode(nodeNamed(node)).findPlug(MString(attribute)).getValue(value);
    return value;
}

inline int intValue(const std::string& node, const char* attribute) {
    int value = 0;
    MFnDependencyNode(nodeNamed(node)).findPlug(MString(attribute)).getValue(value);
    return value;
}

inline std::string stringValue(const std::string& node, const char* attribute) {
    MString value;
    MFnDependencyNode(nodeNamed(node)).findPlug(MString(attribute)).getValue(value);
    return value.asChar();
}

inline std::vector<std::string> hostLines() {
    std::vector<std::string> lines;
    for (const mayasim::LogLine& line : mayasim::messages()) lines.push_back(line.text);
    return lines;
}

// A fresh host scene and an empty, quiet message log for every test; standard error is
// captured so that tests can compare it and it does not clutter the output.
class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::newScene();
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
        ::testing::internal::CaptureStderr();
    }
    void TearDown() override {
        if (capturing_) ::testing::internal::GetCapturedStderr();
        mayasim::clearMessages();
        mayasim::setEchoMessages(true);
    }
    // Standard error since the test started (ends the capture).
    std::string stderrText() {
        capturing_ = false;
        return ::testing::internal::GetCapturedStderr();
    }

  private:
    bool capturing_ = true;
};

// ---- Reading back the mesh an import made: its shape, per-corner UVs and colours, and the
// skin weights per joint path ----

// The mesh shape below a transform path such as "|qvxTransform|QVXMesh0".
inline MDagPath meshShape(const std::string& transform) {
    MSelectionList list;
    MDagPath path;
    list.add(MString(transform.c_str()));
    list.getDagPath(0, path);
    path.extendToShape();
    return path;
}

inline std::vector<std::string> uvSetNames(const MDagPath& mesh) {
    MStringArray names;
    MFnMesh(mesh).getUVSetNames(names);
    std::vector<std::string> out;
    for (unsigned int i = 0; i < names.length(); ++i) out.push_back(names[i].asChar());
    return out;
}

// (u, v) of every corner of the set, polygons in order.
inline std::vector<std::pair<float, float>> cornerUVs(const MDagPath& mesh, const char* set) {
    MFnMesh meshFn(mesh);
    const MString name(set);
    MFloatArray u, v;
    meshFn.getUVs(u, v, &name);
    std::vector<std::pair<float, float>> out;
    for (int p = 0; p < meshFn.numPolygons(); ++p) {
        for (int k = 0; k < meshFn.polygonVertexCount(p); ++k) {
            int id = -1;
            meshFn.getPolygonUVid(p, k, id, &name);
            out.push_back(id >= 0 ? std::make_pair(u[unsigned(id)], v[unsigned(id)])
                                  : std::make_pair(-1.0f, -1.0f));
        }
    }
    return out;
}

// The colour of every host vertex in the current colour set, read through its corners.
inline std::map<int, MColor> vertexColours(const MDagPath& mesh) {
    MFnMesh meshFn(mesh);
    MColorArray colours;
    meshFn.getColors(colours);
    std::map<int, MColor> out;
    for (int p = 0; p < meshFn.numPolygons(); ++p) {
        MIntArray vertices;
        meshFn.getPolygonVertices(p, vertices);
        for (unsigned int k = 0; k < vertices.length(); ++k) {
            int index = -1;
            if (meshFn.getFaceVertexColorIndex(p, int(k), index) && index >= 0) {
                out[vertices[k]] = colours[unsigned(index)];
            }
        }
    }
    return out;
}

inline std::vector<MObject> nodesOfType(MFn::Type type) {
    std::vector<MObject> nodes;
    for (MItDependencyNodes it(type); !it.isDone(); it.next()) nodes.push_back(it.item());
    return nodes;
}

// Per host vertex, the weight of each influence by the influence's full path (zeros left out).
using WeightTable = std::vector<std::map<std::string, double>>;

inline WeightTable skinWeights(const MObject& cluster, const MDagPath& mesh) {
    MFnSkinCluster skinFn(cluster);
    MDagPathArray influences;
    skinFn.influenceObjects(influences);
    MDoubleArray weights;
    unsigned int count = 0;
    skinFn.getWeights(mesh, MObject::kNullObj, weights, count);
    WeightTable table;
    if (count == 0) return table;
    for (unsigned int v = 0; v < weights.length() / count; ++v) {
        std::map<std::string, double> row;
        for (unsigned int i = 0; i < count; ++i) {
            const double w = weights[v * count + i];
            if (w != 0.0) row[influences[i].fullPathName().asChar()] = w;
        }
        table.push_back(row);
    }
    return table;
}

inline std::vector<std::string> influencePaths(const MObject& cluster) {
    MDagPathArray influences;
    MFnSkinCluster(cluster).influenceObjects(influences);
    std::vector<std::string> out;
    for (unsigned int i = 0; i < influences.length(); ++i)
        out.push_back(influences[i].fullPathName().asChar());
    return out;
}

}  // namespace import_test
