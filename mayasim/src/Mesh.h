#ifndef MAYASIM_MESH_H
#define MAYASIM_MESH_H
// Internal: the geometry a mesh node holds (points, polygons, edges, UV and colour sets) and the
// shading-group membership helpers that MFnMesh and MFnSet share.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <maya/MDagPath.h>

#include "Dag.h"
#include "Graph.h"

namespace mayasim {

// One UV set: its UVs and, per face-vertex (polygon corner in creation order), a UV id or -1.
struct UVSetData {
    std::string name;
    unsigned logical = 0;  // element of the mesh's "uvSet" array holding the name
    std::vector<float> u, v;
    std::vector<int> ids;
};

struct ColorSetData {
    std::string name;
    unsigned logical = 0;  // element of the mesh's "colorSet" array
    std::vector<std::array<float, 4>> colors;
    std::vector<int> ids;  // per face-vertex, -1 for none
};

// Which renderable face group of one instance owns each face, as last seen by the set code. It is
// a memo of what the plugs hold, checked against them before each use (Sets.cpp), so that giving
// faces to one shading group need not read every other group's faces.
struct FaceOwnerMemo {
    struct Group {
        PlugRef local;    // the shape's instObjGroups[i].objectGroups[g]
        PlugRef setPlug;  // the set's element it feeds
        Node* set = nullptr;
        ObjectPtr faces;  // the face list stored in the group's "objectGrpCompList"
        // What can change in a stored face list (elements are only ever added).
        std::size_t size = 0;
        bool complete = false;
        int completeCount = 0;
    };
    std::vector<Group> groups;  // in membership order (by object group index)
    std::vector<int> owner;     // per face: position in `groups`, or -1
    // The shape's revision when the memo last matched its plugs: unchanged, nothing on the shape
    // was written or connected since, and only the face lists themselves need a look.
    std::uint64_t revision = 0;
};

// The memos of a node's instances. They describe that node alone: a copy of the geometry (as a
// skin cluster's original shape gets) starts without any.
class FaceOwnerMemos {
  public:
    FaceOwnerMemos() = default;
    FaceOwnerMemos(const FaceOwnerMemos&) {}
    FaceOwnerMemos& operator=(const FaceOwnerMemos&) {
        byInstance.clear();
        return *this;
    }
    std::map<unsigned, FaceOwnerMemo> byInstance;
};

class MeshData : public NodeData {
  public:
    std::vector<std::array<double, 3>> points;
    std::vector<int> counts;                // corners per polygon
    std::vector<int> offsets;               // first face-vertex of each polygon
    std::vector<int> connects;              // vertex of each face-vertex
    std::vector<std::array<int, 2>> edges;  // vertex pairs, numbered in the order the polygons first use them
    std::vector<char> smooth;               // per edge
    std::vector<int> cornerEdges;           // per face-vertex: the edge leaving that corner
    std::vector<UVSetData> uvSets;          // in "uvSet" element order
    std::string currentUV;
    std::vector<ColorSetData> colorSets;
    std::string currentColor;
    FaceOwnerMemos faceOwners;

    int numPolygons() const { return static_cast<int>(counts.size()); }
    int numFaceVertices() const { return static_cast<int>(connects.size()); }
    // Replaces the geometry; UV and colour assignments are cleared (the sets stay).
    void setGeometry(std::vector<std::array<double, 3>> pts, std::vector<int> polygonCounts,
                     std::vector<int> polygonConnects);
    UVSetData* uvSet(const std::string& name);
    ColorSetData* colorSet(const std::string& name);
};

// The node at the end of `p` when it has type `t`, else the first shape of that type directly below
// a transform at the end of `p` (as Maya's function sets and iterators reach a transform's shape).
// `out` receives the path to the returned node.
Node* shapeAt(const MDagPath& p, MFn::Type t, NodePath& out);

// The mesh data of a node (null when the node is not a mesh).
MeshData* meshData(const Node* node);
// Writes the set names into the mesh's "uvSet" / "colorSet" arrays so that plugs agree with the sets.
void syncSetPlugs(Node* mesh);
// Polygon normal by Newell's method over the given points (unit length, or zero when degenerate).
std::array<double, 3> polygonNormal(const MeshData& m, int polygon, const MMatrix& toSpace);

// Shading of one instance of a shape: its shading groups and, per face, the index of the face's
// group (-1 for none).
struct InstanceShading {
    std::vector<Node*> groups;
    std::vector<int> faceGroup;
};
InstanceShading shadingOf(Node* shape, unsigned instance, int numFaces);
// Makes `path` (a shape, or a transform above one) with its faces (all when `faces` is null) a
// member of `set`; renderable sets take the faces away from every other shading group.
MStatus addSetMember(Node* set, const NodePath& path, const std::vector<int>* faces);

}  // namespace mayasim

#endif
