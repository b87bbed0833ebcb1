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
#include <maya/MString.h>

#include <algorithm>

#include "host/Messages.h"
#include "scene/Scene.h"

namespace {

constexpr std::int32_t kPointsPerQuery = 4096;

// The smallest weight kept, as the single-precision value widened to double.
const double kMinimumWeight = static_cast<double>(0.001f);

// Takes the weights of the shape at `shapePath` from `skin` into `mesh`.
MStatus takeWeights(GatherContext& context, const MFnSkinCluster& skin, const MDagPathArray& influences,
                    const MDagPath& shapePath, Mesh& mesh) {
    const unsigned influenceCount = influences.length();
    if (influenceCount > 0) {
        if (!mesh.influenceNames.allocate(static_cast<std::int32_t>(influenceCount))) {
            return context.memoryFailure();
        }
        for (unsigned j = 0; j < influenceCount; ++j) {
            if (!mesh.influenceNames[static_cast<std::int32_t>(j)].set(
                    influences[j].fullPathName().asChar())) {
                return context.memoryFailure();
            }
        }
    }
    MStatus status;
    MItGeometry points(shapePath, &status);
    if (!status) return MS::kSuccess;
    const int hostPoints = points.count();
    const std::int32_t pointCount =
        std::min<std::int32_t>(hostPoints < 0 ? 0 : hostPoints, mesh.vertices.count());
    // The weights are asked for a block of points at a time: one query per point costs
    // the host its influence lookup every time, one query for the whole mesh would hold
    // points x influences doubles at once.
    MDoubleArray weights;
    MIntArray elements;
    for (std::int32_t first = 0; first < pointCount; first += kPointsPerQuery) {
        const std::int32_t count = std::min(kPointsPerQuery, pointCount - first);
        elements.setLength(static_cast<unsigned>(count));
        for (std::int32_t i = 0; i < count; ++i) elements[static_cast<unsigned>(i)] = first + i;
        MFnSingleIndexedComponent block;
        MObject component = block.create(MFn::kMeshVertComponent, &status);
        if (!status || !block.addElements(elements)) return MS::kFailure;
        unsigned influencesPerPoint = 0;
        if (!skin.getWeights(shapePath, component, weights, influencesPerPoint)) continue;
        if (influencesPerPoint == 0) continue;
        const std::int32_t answered =
            std::min<std::int32_t>(count, static_cast<std::int32_t>(weights.length() / influencesPerPoint));
        for (std::int32_t i = 0; i < answered; ++i) {
            Vertex& vertex = mesh.vertices[first + i];
            const unsigned base = static_cast<unsigned>(i) * influencesPerPoint;
            for (unsigned j = 0; j < influencesPerPoint; ++j) {
                const double w = weights[base + j];
                if (!(w > kMinimumWeight)) continue;
                VertexWeight* weight = vertex.weights.append();
                if (weight == nullptr) return context.memoryFailure();
                weight->influenceIndex = static_cast<std::int32_t>(j);
                weight->boneIndex = -1;
                weight->weight = static_cast<float>(w);
            }
        }
    }
    return MS::kSuccess;
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
            status = takeWeights(context, skin, influences, outputPath, mesh);
            if (!status) return status;
        }
    }
    return MS::kSuccess;
}
