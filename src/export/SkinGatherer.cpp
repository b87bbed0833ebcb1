#include "export/SkinGatherer.h"

#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MItGeometry.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include "host/Messages.h"
#include "scene/Scene.h"

namespace {

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
    MDoubleArray weights;
    const std::int32_t vertexCount = mesh.vertices.count();
    for (std::int32_t v = 0; !points.isDone() && v < vertexCount; points.next(), ++v) {
        const MObject component = points.component();
        unsigned count = 0;
        if (!skin.getWeights(shapePath, component, weights, count)) continue;
        const unsigned available = count < weights.length() ? count : weights.length();
        Vertex& vertex = mesh.vertices[v];
        for (unsigned j = 0; j < available; ++j) {
            if (!(weights[j] > kMinimumWeight)) continue;
            VertexWeight* weight = vertex.weights.append();
            if (weight == nullptr) return context.memoryFailure();
            weight->influenceIndex = static_cast<std::int32_t>(j);
            weight->boneIndex = -1;
            weight->weight = static_cast<float>(weights[j]);
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
