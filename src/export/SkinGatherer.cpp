#include "export/SkinGatherer.h"

#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MItGeometry.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/Messages.h"
#include "scene/Scene.h"

namespace {

constexpr std::int32_t kPointsPerQuery = 4096;

// The smallest weight kept, as the single-precision value widened to double.
const double kMinimumWeight = static_cast<double>(0.001f);

// Appends to `vertex` the weights above the threshold, in influence order.
MStatus appendWeights(GatherContext& context, Vertex& vertex,
                      std::vector<std::pair<std::int32_t, double>>& weights) {
    std::sort(weights.begin(), weights.end());
    for (const auto& [influence, value] : weights) {
        if (!(value > kMinimumWeight)) continue;
        VertexWeight* weight = vertex.weights.append();
        if (weight == nullptr) return context.memoryFailure();
        weight->influenceIndex = influence;
        weight->boneIndex = -1;
        weight->weight = static_cast<float>(value);
    }
    return MS::kSuccess;
}

MStatus storeInfluenceNames(GatherContext& context, const MDagPathArray& influences, Mesh& mesh) {
    const unsigned influenceCount = influences.length();
    if (influenceCount == 0) return MS::kSuccess;
    if (!mesh.influenceNames.allocate(static_cast<std::int32_t>(influenceCount)))
        return context.memoryFailure();
    for (unsigned j = 0; j < influenceCount; ++j) {
        if (!mesh.influenceNames[static_cast<std::int32_t>(j)].set(influences[j].fullPathName().asChar())) {
            return context.memoryFailure();
        }
    }
    return MS::kSuccess;
}

// Reads the weights a cluster that deforms one shape keeps per point on its "weightList"
// plug. Only the weights that were ever set are stored there, so the work follows the
// weights that exist rather than points x influences, as a dense query would.
// kNotFound when the plug or an influence's index cannot be read (the caller then asks
// the cluster instead).
MStatus takeStoredWeights(GatherContext& context, const MFnSkinCluster& skin, const MDagPathArray& influences,
                          Mesh& mesh) {
    MStatus status;
    MPlug weightList = skin.findPlug("weightList", &status);
    if (!status) return MS::kNotFound;
    MObject weightsAttribute = skin.attribute("weights", &status);
    if (!status) return MS::kNotFound;
    std::unordered_map<unsigned, std::int32_t> positionOfLogical;
    for (unsigned j = 0; j < influences.length(); ++j) {
        const unsigned logical = skin.indexForInfluenceObject(influences[j], &status);
        if (!status) return MS::kNotFound;
        positionOfLogical.emplace(logical, static_cast<std::int32_t>(j));
    }
    MIntArray points;
    weightList.getExistingArrayAttributeIndices(points, &status);
    if (!status) return MS::kNotFound;

    MIntArray stored;
    std::vector<std::pair<std::int32_t, double>> weights;
    for (unsigned i = 0; i < points.length(); ++i) {
        const int point = points[i];
        if (!mesh.vertices.validIndex(point)) continue;
        MPlug pointWeights =
            weightList.elementByLogicalIndex(static_cast<unsigned>(point)).child(weightsAttribute, &status);
        if (!status) continue;
        pointWeights.getExistingArrayAttributeIndices(stored);
        weights.clear();
        for (unsigned k = 0; k < stored.length(); ++k) {
            const auto found = positionOfLogical.find(static_cast<unsigned>(stored[k]));
            if (found == positionOfLogical.end()) continue;
            double value = 0.0;
            if (!pointWeights.elementByLogicalIndex(static_cast<unsigned>(stored[k])).getValue(value))
                continue;
            weights.emplace_back(found->second, value);
        }
        status = appendWeights(context, mesh.vertices[point], weights);
        if (!status) return status;
    }
    return MS::kSuccess;
}

// Asks the cluster for the weights of the shape at `shapePath`, a block of points at a
// time: one query per point costs the host its influence lookup every time, one query
// for the whole mesh would hold points x influences doubles at once.
MStatus takeQueriedWeights(GatherContext& context, const MFnSkinCluster& skin, const MDagPath& shapePath,
                           Mesh& mesh) {
    MStatus status;
    MItGeometry points(shapePath, &status);
    if (!status) return MS::kSuccess;
    const int hostPoints = points.count();
    const std::int32_t pointCount =
        std::min<std::int32_t>(hostPoints < 0 ? 0 : hostPoints, mesh.vertices.count());
    MDoubleArray values;
    MIntArray elements;
    std::vector<std::pair<std::int32_t, double>> weights;
    for (std::int32_t first = 0; first < pointCount; first += kPointsPerQuery) {
        const std::int32_t count = std::min(kPointsPerQuery, pointCount - first);
        elements.setLength(static_cast<unsigned>(count));
        for (std::int32_t i = 0; i < count; ++i) elements[static_cast<unsigned>(i)] = first + i;
        MFnSingleIndexedComponent block;
        MObject component = block.create(MFn::kMeshVertComponent, &status);
        if (!status || !block.addElements(elements)) return MS::kFailure;
        unsigned influencesPerPoint = 0;
        if (!skin.getWeights(shapePath, component, values, influencesPerPoint)) continue;
        if (influencesPerPoint == 0) continue;
        const std::int32_t answered =
            std::min<std::int32_t>(count, static_cast<std::int32_t>(values.length() / influencesPerPoint));
        for (std::int32_t i = 0; i < answered; ++i) {
            const unsigned base = static_cast<unsigned>(i) * influencesPerPoint;
            weights.clear();
            for (unsigned j = 0; j < influencesPerPoint; ++j) {
                weights.emplace_back(static_cast<std::int32_t>(j), values[base + j]);
            }
            status = appendWeights(context, mesh.vertices[first + i], weights);
            if (!status) return status;
        }
    }
    return MS::kSuccess;
}

// Takes the weights of the shape at `shapePath` from `skin` into `mesh`.
MStatus takeWeights(GatherContext& context, const MFnSkinCluster& skin, const MDagPathArray& influences,
                    const MDagPath& shapePath, bool onlyShape, Mesh& mesh) {
    MStatus status = storeInfluenceNames(context, influences, mesh);
    if (!status) return status;
    if (onlyShape) {
        status = takeStoredWeights(context, skin, influences, mesh);
        if (status != MS::kNotFound) return status;
        for (Vertex& vertex : mesh.vertices) vertex.weights.clear();
    }
    return takeQueriedWeights(context, skin, shapePath, mesh);
}

}  // namespace

MStatus gatherSkinClusters(GatherContext& context, const MDagPath& path, std::int32_t meshIndex) {
    if (!context.scene.meshes.validIndex(meshIndex)) return MS::kFailure;
    MStatus status;
    MFnMesh shapeFn(path, &status);
    if (!status) return MS::kFailure;
    const MObject shape = shapeFn.object();

    MItDependencyNodes clusters(MFn::kSkinClusterFilter, &status);
    if (!status) return MS::kFailure;
    for (; !clusters.isDone(); clusters.next()) {
        MFnSkinCluster skin(clusters.item(), &status);
        if (!status) return MS::kFailure;
        MDagPathArray influences;
        skin.influenceObjects(influences, &status);
        if (!status) return MS::kFailure;
        const MString clusterName = skin.name();
        const unsigned connections = skin.numOutputConnections();
        for (unsigned i = 0; i < connections; ++i) {
            const unsigned index = skin.indexForOutputConnection(i, &status);
            if (!status) return MS::kFailure;
            const MObject output = skin.outputShapeAtIndex(index, &status);
            if (!status || output != shape) continue;
            MDagPath outputPath;
            if (!skin.getPathAtIndex(index, outputPath)) return MS::kFailure;
            const MString shapeName = outputPath.partialPathName();
            // Resolved again: a gatherer called before may have appended meshes.
            Mesh& mesh = context.scene.meshes[meshIndex];
            if (mesh.skinned != 0) {
                logLine(MString("QVX: Multiple skin clusters: ") + clusterName +
                            " found for mesh: " + shapeName + "!",
                        HostLevel::Warning);
                continue;
            }
            logLine(MString("QVX: Found skin cluster: ") + clusterName + " for mesh: " + shapeName);
            mesh.skinned = 1;
            status = takeWeights(context, skin, influences, outputPath, connections == 1, mesh);
            if (!status) return status;
        }
    }
    return MS::kSuccess;
}
