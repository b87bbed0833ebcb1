#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MFnSet.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/HostNames.h"
#include "host/Messages.h"
#include "import/ImportBuild.h"
#include "scene/Scene.h"

namespace {

// The host-side arrays of the mesh, in polygon order: meshes, polygons, corners.
struct MeshArrays {
    MFloatPointArray positions;
    MIntArray polygonCounts;
    MIntArray polygonConnects;
    MIntArray uvIds;
    MFloatArray u1, v1, u2, v2;
    // Per scene polygon (meshes in order), the host polygon made from it or -1 when it could
    // not be given to the host (fewer than three corners or a vertex outside the array).
    std::vector<std::int32_t> hostPolygonOf;
    std::int32_t skippedPolygons = 0;
};

bool polygonIsBuildable(const Polygon& polygon, std::int32_t vertexCount) {
    if (polygon.cornerCount() < 3) return false;
    const std::int32_t* vertices = polygon.vertexIndices();
    for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
        if (vertices[k] < 0 || vertices[k] >= vertexCount) return false;
    }
    return true;
}

// The mesh's positions: the pose at time 0 when the scene is animated, else the stored ones.
void fillPositions(const Scene& scene, MFloatPointArray& positions) {
    const bool posed = scene.bones.present() && scene.animations.present() &&
                       scene.skinnedVertices.count() == scene.vertices.count();
    positions.setLength(static_cast<unsigned int>(scene.vertices.count()));
    for (std::int32_t i = 0; i < scene.vertices.count(); ++i) {
        const Vec3& p = posed ? scene.skinnedVertices[i].position : scene.vertices[i].position;
        positions.set(MFloatPoint(p.x, p.y, p.z), static_cast<unsigned int>(i));
    }
}

void fillArrays(const Scene& scene, MeshArrays& arrays) {
    fillPositions(scene, arrays.positions);
    const std::int32_t vertexCount = scene.vertices.count();
    std::size_t polygons = 0;
    std::size_t corners = 0;
    std::size_t scenePolygons = 0;
    for (const Mesh& mesh : scene.meshes) {
        scenePolygons += mesh.polygons.size();
        for (const Polygon& polygon : mesh.polygons) {
            if (!polygonIsBuildable(polygon, vertexCount)) continue;
            ++polygons;
            corners += static_cast<std::size_t>(polygon.cornerCount());
        }
    }
    arrays.hostPolygonOf.reserve(scenePolygons);
    arrays.polygonCounts.setLength(static_cast<unsigned int>(polygons));
    arrays.polygonConnects.setLength(static_cast<unsigned int>(corners));
    arrays.uvIds.setLength(static_cast<unsigned int>(corners));
    arrays.u1.setLength(static_cast<unsigned int>(corners));
    arrays.v1.setLength(static_cast<unsigned int>(corners));
    arrays.u2.setLength(static_cast<unsigned int>(corners));
    arrays.v2.setLength(static_cast<unsigned int>(corners));

    const UVSet* firstSet = scene.uvSets.count() > 0 ? &scene.uvSets[0] : nullptr;
    unsigned int p = 0;
    unsigned int c = 0;
    for (const Mesh& mesh : scene.meshes) {
        for (const Polygon& polygon : mesh.polygons) {
            if (!polygonIsBuildable(polygon, vertexCount)) {
                arrays.hostPolygonOf.push_back(-1);
                ++arrays.skippedPolygons;
                continue;
            }
            arrays.hostPolygonOf.push_back(static_cast<std::int32_t>(p));
            arrays.polygonCounts[p++] = polygon.cornerCount();
            const std::int32_t* vertices = polygon.vertexIndices();
            const ConstPolygonUVs uvs = polygon.uvs(0);
            for (std::int32_t k = 0; k < polygon.cornerCount(); ++k, ++c) {
                arrays.polygonConnects[c] = vertices[k];
                arrays.uvIds[c] = static_cast<int>(c);
                float u = 0.0f;
                float v = 1.0f;
                const std::int32_t uv = uvs.uvIndices ? uvs.uvIndices[k] : -1;
                if (firstSet && firstSet->coords.validIndex(uv)) {
                    u = firstSet->coords[uv].u;
                    v = 1.0f - firstSet->coords[uv].v;
                }
                arrays.u1[c] = u;
                arrays.v1[c] = v;
                arrays.u2[c] = 0.0f;
                arrays.v2[c] = 1.0f;
            }
        }
    }
}

// Per host vertex, the scene vertex it was made from. The host copies a vertex shared by
// oppositely wound polygons or repeated within one polygon; the copies come after the
// vertices given and are found by walking the host's corners beside the given ones.
std::vector<std::int32_t> sourceVertices(const MDagPath& shape, const MeshArrays& arrays,
                                         int hostVertexCount) {
    const std::int32_t given = static_cast<std::int32_t>(arrays.positions.length());
    std::vector<std::int32_t> source(static_cast<std::size_t>(std::max(hostVertexCount, 0)), -1);
    for (std::int32_t h = 0; h < hostVertexCount && h < given; ++h) source[std::size_t(h)] = h;
    if (hostVertexCount == given) return source;

    MStatus status;
    MItMeshPolygon polygons(shape, MObject::kNullObj, &status);
    if (!status) return source;
    unsigned int corner = 0;
    const unsigned int polygonCount = arrays.polygonCounts.length();
    for (unsigned int p = 0; p < polygonCount && !polygons.isDone(); ++p, polygons.next()) {
        const unsigned int corners = static_cast<unsigned int>(arrays.polygonCounts[p]);
        const unsigned int hostCorners = polygons.polygonVertexCount();
        for (unsigned int k = 0; k < corners && k < hostCorners; ++k) {
            const unsigned int h = polygons.vertexIndex(static_cast<int>(k));
            if (h < source.size()) source[h] = arrays.polygonConnects[corner + k];
        }
        corner += corners;
    }
    return source;
}

void logCountWarning(const char* what, int expected, int actual) {
    const std::string text = std::string("QVX: WARNING: fnMesh returned wrong ") + what + " count: ";
    logHost(MString(text.c_str()) + expected + " != " + actual + ".");
    logStderrFormat("%s%d != %d.\n", text.c_str(), expected, actual);
}

// Renames the mesh's default UV set to the first name (or creates it) and creates the
// second; records the names the host gave.
void makeUVSets(BuildRequest& request, MFnMesh& meshFn) {
    MString first("uvSet1");
    MString second("uvSet2");
    MStringArray existing;
    meshFn.getUVSetNames(existing);
    if (existing.length() > 0 && meshFn.renameUVSet(existing[0], first)) {
        meshFn.createUVSet(second);
    } else {
        meshFn.createUVSet(first);
        meshFn.createUVSet(second);
    }
    request.uvSetNames[0] = first;
    request.uvSetNames[1] = second;
}

// The bones that weight the built polygons' vertices, have weighted vertices and got a
// joint, in ascending order.
std::vector<std::int32_t> influenceBones(const BuildRequest& request, const std::vector<char>& vertexUsed) {
    const Scene& scene = request.scene;
    // Filled by assign() rather than the sized constructor, which GCC 12 at -O2 wrongly
    // reports as freeing a non-heap pointer once the build is inlined into buildMeshes.
    std::vector<char> influences;
    influences.assign(scene.bones.size(), 0);
    for (std::int32_t v = 0; v < scene.vertices.count(); ++v) {
        if (!vertexUsed[std::size_t(v)]) continue;
        for (const VertexWeight& weight : scene.vertices[v].weights) {
            const std::int32_t b = weight.boneIndex;
            if (!scene.bones.validIndex(b) || scene.bones[b].weightedVertexCount == 0) continue;
            if (request.joints[std::size_t(b)].isNull()) continue;
            influences[std::size_t(b)] = 1;
        }
    }
    std::vector<std::int32_t> list;
    for (std::size_t b = 0; b < influences.size(); ++b) {
        if (influences[b]) list.push_back(static_cast<std::int32_t>(b));
    }
    return list;
}

// Writes every host vertex's weights into the skin cluster's "weightList[v].weights[i]" plugs,
// touching only the weights a vertex has and those the default bind gave it, so that the work
// follows the number of weights rather than vertices times influences (a table of that size
// grows fourfold when a character doubles in vertices and bones). The values are those a
// normalising setWeights call with every influence listed leaves: each vertex's weights scaled to
// sum to 1, its other influences 0, and a weight nobody stored stays absent (reads as 0).
void setSparseWeights(const Scene& scene, const MObject& clusterNode, const std::vector<std::int32_t>& source,
                      const std::vector<std::int32_t>& slotOfBone, const MIntArray& influenceIndices) {
    MStatus status;
    MFnDependencyNode clusterFn(clusterNode);
    const MPlug weightList = clusterFn.findPlug(MString("weightList"), &status);
    if (!status) return;
    MObject weightsAttribute = clusterFn.attribute(MString("weights"), &status);
    if (!status) return;

    // Per influence slot, the last vertex that took a weight for it: only the first weight of a
    // vertex on each influence counts.
    std::vector<std::size_t> takenBy(influenceIndices.length(), SIZE_MAX);
    std::vector<std::pair<int, double>> mine;  // cluster influence index, weight
    for (std::size_t h = 0; h < source.size(); ++h) {
        mine.clear();
        double sum = 0.0;
        const std::int32_t s = source[h];
        if (scene.vertices.validIndex(s)) {
            for (const VertexWeight& weight : scene.vertices[s].weights) {
                if (!scene.bones.validIndex(weight.boneIndex)) continue;
                const std::int32_t slot = slotOfBone[std::size_t(weight.boneIndex)];
                if (slot < 0 || takenBy[std::size_t(slot)] == h) continue;
                takenBy[std::size_t(slot)] = h;
                // A weight the host cannot hold (negative or not a number) counts as none
                // rather than losing the vertex's other weights.
                const double value = weight.weight;
                if (!(value > 0.0) || !std::isfinite(value)) continue;
                mine.emplace_back(influenceIndices[static_cast<unsigned int>(slot)], value);
            }
        }
        // Summed in influence order, as the host's normalisation does.
        std::sort(mine.begin(), mine.end());
        for (const auto& entry : mine) sum += entry.second;

        const MPlug weights =
            weightList.elementByLogicalIndex(static_cast<unsigned int>(h)).child(weightsAttribute);
        // What the default bind left on other influences goes to 0.
        const unsigned int existing = weights.numElements();
        for (unsigned int e = 0; e < existing; ++e) {
            MPlug element = weights.elementByPhysicalIndex(e);
            const int influence = static_cast<int>(element.logicalIndex());
            const bool kept =
                std::binary_search(mine.begin(), mine.end(), std::make_pair(influence, 0.0),
                                   [](const std::pair<int, double>& a, const std::pair<int, double>& b) {
                                       return a.first < b.first;
                                   });
            if (!kept) element.setValue(0.0);
        }
        for (const auto& entry : mine) {
            weights.elementByLogicalIndex(static_cast<unsigned int>(entry.first))
                .setValue(entry.second / sum);
        }
    }
}

// Binds the mesh to the joints of its influences and sets every host vertex's weights from
// its source vertex.
void bindSkin(BuildRequest& request, const MObject& meshNode, const MeshArrays& arrays,
              const std::vector<std::int32_t>& source) {
    const Scene& scene = request.scene;
    std::vector<char> vertexUsed(scene.vertices.size(), 0);
    for (unsigned int c = 0; c < arrays.polygonConnects.length(); ++c) {
        vertexUsed[std::size_t(arrays.polygonConnects[c])] = 1;
    }
    const std::vector<std::int32_t> influences = influenceBones(request, vertexUsed);
    if (influences.empty()) return;

    // The joints and the mesh by the names the host gave them, quoted, so that neither a
    // node of the same name elsewhere in the scene nor a character of a name can change
    // what the command binds.
    std::string command = "skinCluster -tsb ";
    for (const std::int32_t b : influences) {
        command += quoteForCommand(fullPathOf(request.joints[std::size_t(b)]).asChar());
        command += ' ';
    }
    command += quoteForCommand(fullPathOf(meshNode).asChar());

    MStringArray result;
    if (!MGlobal::executeCommand(MString(command.c_str()), result, false, false) || result.length() == 0) {
        logLine("QVX: ERROR: skinCluster command failed.  Possible bone name conflicts.");
        return;
    }

    MSelectionList selection;
    MObject clusterNode;
    if (!selection.add(result[0]) || !selection.getDependNode(0, clusterNode)) return;
    MFnSkinCluster skinFn;
    if (!skinFn.setObject(clusterNode)) return;

    // Position of each bone in the influence list, and the cluster's index for it.
    std::vector<std::int32_t> slotOfBone(scene.bones.size(), -1);
    MIntArray influenceIndices(static_cast<unsigned int>(influences.size()));
    for (std::size_t i = 0; i < influences.size(); ++i) {
        slotOfBone[std::size_t(influences[i])] = static_cast<std::int32_t>(i);
        MDagPath jointPath;
        MFnDagNode(request.joints[std::size_t(influences[i])]).getPath(jointPath);
        influenceIndices[static_cast<unsigned int>(i)] =
            static_cast<int>(skinFn.indexForInfluenceObject(jointPath, NULL));
    }

    setSparseWeights(scene, clusterNode, source, slotOfBone, influenceIndices);
}

// The colour set, every host vertex coloured as its source vertex.
MStatus colourVertices(const Scene& scene, MFnMesh& meshFn, const std::vector<std::int32_t>& source) {
    MString colourSet("colorSet1");
    meshFn.createColorSet(colourSet);
    meshFn.setCurrentColorSetName(colourSet);
    const unsigned int count = static_cast<unsigned int>(source.size());
    MColorArray colours(count);
    MIntArray ids(count);
    for (unsigned int h = 0; h < count; ++h) {
        ids[h] = static_cast<int>(h);
        const Vertex* vertex = scene.vertices.get(source[h]);
        const Color c = vertex ? vertex->color : kWhite;
        colours.set(MColor(c.r, c.g, c.b, c.a), h);
    }
    return meshFn.setVertexColors(colours, ids);
}

// One shading group per material (and "Unassigned" for polygons without one), its faces
// found in one pass over the polygons.
MStatus assignMaterials(BuildRequest& request, const MDagPath& shape, const MeshArrays& arrays,
                        int hostPolygons, MStatus status) {
    const Scene& scene = request.scene;
    const std::int32_t materialCount = scene.materials.count();
    // Faces of slot m + 1 (m = -1 for none) at faces[start[m + 1] .. start[m + 2]).
    std::vector<std::int32_t> start(std::size_t(materialCount) + 2, 0);
    std::size_t scenePolygon = 0;
    auto forEachAssigned = [&](auto&& visit) {
        scenePolygon = 0;
        for (const Mesh& mesh : scene.meshes) {
            for (const Polygon& polygon : mesh.polygons) {
                const std::int32_t host = arrays.hostPolygonOf[scenePolygon++];
                if (host < 0 || host >= hostPolygons) continue;
                if (polygon.materialIndex < -1 || polygon.materialIndex >= materialCount) continue;
                visit(std::size_t(polygon.materialIndex + 1), host);
            }
        }
    };
    forEachAssigned([&](std::size_t slot, std::int32_t) { ++start[slot + 1]; });
    for (std::size_t s = 1; s < start.size(); ++s) start[s] += start[s - 1];
    std::vector<std::int32_t> faces(std::size_t(start.back()));
    std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
    forEachAssigned([&](std::size_t slot, std::int32_t host) { faces[std::size_t(fill[slot]++)] = host; });

    for (std::int32_t m = -1; m < materialCount; ++m) {
        const Material* material = m >= 0 ? &scene.materials[m] : nullptr;
        MObject materialNode;
        status = request.phongMaterials ? createPhongMaterial(request, material, materialNode)
                                        : createLambertMaterial(request, material, materialNode);
        if (!status) continue;

        MSelectionList members;
        const std::size_t slot = std::size_t(m + 1);
        if (start[slot + 1] > start[slot]) {
            MIntArray faceIds(&faces[std::size_t(start[slot])],
                              static_cast<unsigned int>(start[slot + 1] - start[slot]));
            MFnSingleIndexedComponent componentFn;
            const MObject component = componentFn.create(MFn::kMeshPolygonComponent);
            componentFn.addElements(faceIds);
            members.add(shape, component, false);
        }
        MFnSet setFn;
        MObject shadingGroup = setFn.create(members, MFnSet::kRenderableOnly, false, &status);
        if (!status) continue;
        setFn.setName(MString("shadingGroup"));

        MFnPhongShader phongFn;
        MFnLambertShader lambertFn;
        if (request.phongMaterials) {
            phongFn.setObject(materialNode);
        } else {
            lambertFn.setObject(materialNode);
        }
        MFnDependencyNode& shaderFn = request.phongMaterials ? static_cast<MFnDependencyNode&>(phongFn)
                                                             : static_cast<MFnDependencyNode&>(lambertFn);
        const MPlug surfaceShader = setFn.findPlug(MString("surfaceShader"));
        MPlugArray sources;
        MDGModifier modifier;
        if (surfaceShader.connectedTo(sources, true, false) && sources.length() > 0) {
            modifier.disconnect(sources[0], surfaceShader);
        }
        modifier.connect(shaderFn.findPlug(MString("outColor")), surfaceShader);
        status = modifier.doIt();

        if (material) {
            status = MStatus::kSuccess;
            const MaterialLayer* colour = material->findLayer(0);
            if (colour && colour->kind == 4) {
                status = connectLayeredTexture(request, shape, phongFn, lambertFn, material);
            } else if (colour && colour->kind == 1) {
                status = connectColorTexture(request, shape, phongFn, lambertFn, material);
            }
            const MaterialLayer* bump = material->findLayer(2);
            if (bump && bump->kind == 1) connectBumpTexture(request, shape, phongFn, lambertFn, material);
        }
    }
    return status;
}

}  // namespace

MStatus buildMeshes(BuildRequest& request, MObject& root) {
    const Scene& scene = request.scene;
    if (scene.meshes.absent() || scene.vertices.absent()) return MStatus::kSuccess;
    std::size_t polygons = 0;
    std::size_t corners = 0;
    for (const Mesh& mesh : scene.meshes) {
        for (const Polygon& polygon : mesh.polygons) {
            ++polygons;
            corners += static_cast<std::size_t>(std::max(polygon.cornerCount(), 0));
        }
    }
    if (polygons == 0 || corners == 0) return MStatus::kSuccess;

    MeshArrays arrays;
    fillArrays(scene, arrays);
    if (arrays.skippedPolygons > 0) {
        logLine(MString("QVX: WARNING: Skipped ") + arrays.skippedPolygons +
                " polygons with fewer than three corners or a vertex outside the vertex array.");
    }
    if (arrays.polygonCounts.length() == 0) return MStatus::kSuccess;

    MStatus status;
    MFnMesh meshFn;
    MObject meshNode = meshFn.create(
        static_cast<int>(arrays.positions.length()), static_cast<int>(arrays.polygonCounts.length()),
        arrays.positions, arrays.polygonCounts, arrays.polygonConnects, MObject::kNullObj, &status);
    if (!status) return status;
    const int hostVertices = meshFn.numVertices();
    const int hostPolygons = meshFn.numPolygons();
    if (hostVertices != static_cast<int>(arrays.positions.length())) {
        logCountWarning("vertex", static_cast<int>(arrays.positions.length()), hostVertices);
    }
    if (hostPolygons != static_cast<int>(arrays.polygonCounts.length())) {
        logCountWarning("face", static_cast<int>(arrays.polygonCounts.length()), hostPolygons);
    }
    MFnDependencyNode(meshNode).setName(MString("QVXMesh0"));

    makeUVSets(request, meshFn);
    meshFn.setUVs(arrays.u1, arrays.v1, &request.uvSetNames[0]);
    meshFn.assignUVs(arrays.polygonCounts, arrays.uvIds, &request.uvSetNames[0]);
    meshFn.setUVs(arrays.u2, arrays.v2, &request.uvSetNames[1]);
    meshFn.assignUVs(arrays.polygonCounts, arrays.uvIds, &request.uvSetNames[1]);

    status = MFnDagNode(root).addChild(meshNode, MFnDagNode::kNextPos, false);

    // The shape below the returned transform carries the geometry, the skin and the sets.
    MObject shapeNode = meshFn.object();
    if (!shapeNode.hasFn(MFn::kMesh)) shapeNode = MFnDagNode(meshNode).child(0);
    MDagPath shape;
    MFnDagNode(shapeNode).getPath(shape);

    const std::vector<std::int32_t> source = sourceVertices(shape, arrays, hostVertices);
    bindSkin(request, meshNode, arrays, source);
    status = colourVertices(scene, meshFn, source);
    if (scene.materials.present()) status = assignMaterials(request, shape, arrays, hostPolygons, status);
    return status;
}
