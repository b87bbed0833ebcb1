#include "process/PostLoad.h"

#include "scene/Animation.h"
#include "scene/Scene.h"

void countBoneWeights(Scene& scene) {
    if (scene.bones.count() == 0 || scene.vertices.count() == 0) return;
    for (Bone& bone : scene.bones) bone.weightedVertexCount = 0;
    for (const Vertex& vertex : scene.vertices) {
        for (const VertexWeight& weight : vertex.weights) {
            // Two weights of one vertex on the same bone count twice.
            if (Bone* bone = scene.bones.get(weight.boneIndex)) ++bone->weightedVertexCount;
        }
    }
}

void countMaterialUses(Scene& scene) {
    if (scene.materials.count() == 0 || scene.meshes.count() == 0) return;
    for (Material& material : scene.materials) material.useCount = 0;
    for (const Mesh& mesh : scene.meshes) {
        for (const Polygon& polygon : mesh.polygons) {
            if (Material* material = scene.materials.get(polygon.materialIndex)) ++material->useCount;
        }
    }
}

int prepareLoadedScene(Scene& scene) {
    pruneGeometry(scene);
    countBoneWeights(scene);
    countMaterialUses(scene);
    for (Vertex& vertex : scene.vertices) normalizeVertexWeights(vertex, scene.bones.count());
    computeBoneMatrices(scene);
    sanitizeNames(scene);
    fixLeadingDigits(scene);
    makeNamesUnique(scene);
    buildGroupMaterialLists(scene);
    buildBonePoses(scene);
    buildSkinnedVertices(scene);
    computeBindPose(scene, 1);
    evaluatePose(scene, 0.0f);
    return 1;
}
