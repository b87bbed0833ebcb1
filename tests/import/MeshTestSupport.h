#pragma once

// Reading back the mesh an import made: its shape, per-corner UVs and colours, and the skin
// weights per joint path.

#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFn.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "import/ImportTestSupport.h"

namespace import_test {

inline MDagPath pathOf(const std::string& name) {
    MSelectionList list;
    MDagPath path;
    list.add(MString(name.c_str()));
    list.getDagPath(0, path);
    return path;
}

// The mesh shape below a transform path such as "|qvxTransform|QVXMesh0".
inline MDagPath meshShape(const std::string& transform) {
    MDagPath path = pathOf(transform);
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
