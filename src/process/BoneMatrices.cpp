#include "process/PostLoad.h"
#include "scene/Scene.h"

void computeBoneMatrices(Scene& scene) {
    const std::int32_t count = scene.bones.count();
    if (count == 0) return;
    for (Bone& bone : scene.bones) {
        bone.worldMatrix = kIdentityMatrix4;
        bone.localMatrix = quatToMatrix(bone.rotation);
        bone.localMatrix[3] = bone.position.x;
        bone.localMatrix[7] = bone.position.y;
        bone.localMatrix[11] = bone.position.z;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        Bone& bone = scene.bones[i];
        const std::int32_t parent = bone.parentIndex;
        if (parent == i || parent >= count) continue;  // stays identity
        if (parent < 0 || parent > i) {
            // A parent after its child has no world matrix yet: the bone is placed as a
            // root, which is what multiplying by the parent's identity would give.
            bone.worldMatrix = bone.localMatrix;
        } else {
            bone.worldMatrix = affineMultiply(scene.bones[parent].worldMatrix, bone.localMatrix);
        }
    }
}
