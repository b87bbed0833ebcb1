#include "export/SceneWalk.h"

#include <maya/MAnimControl.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MItDag.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

#include "export/AnimationSampler.h"
#include "export/GatherContext.h"
#include "export/HostTypes.h"
#include "export/LightCameraGatherer.h"
#include "export/MeshGatherer.h"
#include "export/NodeTransform.h"
#include "host/Messages.h"
#include "process/BoneLookup.h"
#include "scene/Scene.h"

namespace {

// Puts the host's current time back however the walk ends.
class CurrentTimeGuard {
  public:
    CurrentTimeGuard() : saved_(MAnimControl::currentTime()) {}
    ~CurrentTimeGuard() { MAnimControl::setCurrentTime(saved_); }
    CurrentTimeGuard(const CurrentTimeGuard&) = delete;
    CurrentTimeGuard& operator=(const CurrentTimeGuard&) = delete;

  private:
    MTime saved_;
};

// Full paths of the host's default cameras and ground plane, which never become bones.
constexpr const char* kDefaultCameraPaths[] = {"|persp", "|top", "|front", "|side"};
constexpr const char* kGroundPlanePath = "|groundPlane_transform";

bool isDefaultCameraPath(const char* fullPath) {
    for (const char* name : kDefaultCameraPaths) {
        if (std::strcmp(fullPath, name) == 0) return true;
    }
    return false;
}

bool hasExcludedGroupType(const MDagPath& path) {
    for (MFn::Type type : kExcludedGroupTypes) {
        if (path.hasFn(type)) return true;
    }
    return false;
}

// How a kept node is named when its path gives no name.
enum class NameFallback { NodeName, KeepDefault };

class SceneWalk {
  public:
    explicit SceneWalk(GatherContext& context) : context_(context), scene_(context.scene) {}

    void run(MItDag& dag);

  private:
    void visit(const MDagPath& path);
    void appendBone(const MDagPath& path, const NodeTransform& transform, NameFallback fallback,
                    const MString& nodeName, bool sample);
    std::int32_t boneByPath(const std::string& path) const {
        const auto found = firstBoneByPath_.find(path);
        return found == firstBoneByPath_.end() ? -1 : found->second;
    }

    GatherContext& context_;
    Scene& scene_;
    std::int32_t animation_ = -1;
    std::uint32_t items_ = 0;
    // The first bone of each full path, for parent lookups without a search per bone.
    std::unordered_map<std::string, std::int32_t> firstBoneByPath_;
};

void SceneWalk::run(MItDag& dag) {
    if (scene_.animations.append() != nullptr) {
        animation_ = scene_.animations.count() - 1;
    } else {
        context_.memoryFailure();
    }
    // Every value read below is the value at the start of the animation range.
    MAnimControl::setCurrentTime(MAnimControl::animationStartTime());
    for (; !dag.isDone() && !context_.outOfMemory; dag.next()) {
        MDagPath path;
        if (!dag.getPath(path)) {
            ++items_;
            continue;
        }
        visit(path);
    }
}

void SceneWalk::visit(const MDagPath& path) {
    MStatus status;
    MFnDagNode dagNode(path, &status);
    if (!status || dagNode.isIntermediateObject()) {
        ++items_;
        return;
    }
    const bool isTransform = path.hasFn(MFn::kTransform);

    if (path.hasFn(MFn::kJoint)) {
        NodeTransform transform;
        readNodeTransform(path, transform);
        MFnIkJoint joint(path, &status);
        MString name;
        if (status) {
            name = joint.name();
            logLine(MString("QVX: Found joint: ") + name);
        } else {
            name = dagNode.name();
        }
        appendBone(path, transform, NameFallback::NodeName, name, true);
        ++items_;
        return;
    }
    if (path.hasFn(MFn::kNurbsSurface) && isTransform) {
        logLine(MString("QVX: WARNING: Skipping Nurbs surface: ") + path.partialPathName(),
                HostLevel::Warning);
        MFnNurbsSurface surface(path, &status);
        NodeTransform transform;
        readNodeTransform(path, transform);
        appendBone(path, transform, NameFallback::NodeName, status ? surface.name() : dagNode.name(), true);
        ++items_;
        return;
    }
    if (path.hasFn(MFn::kMesh)) {
        NodeTransform transform;
        if (isTransform) {
            // The mesh's transform becomes an identity bone; the shape below carries its
            // placement and its samples.
            appendBone(path, transform, NameFallback::NodeName, dagNode.name(), false);
        } else {
            readNodeTransform(path, transform);
            gatherMesh(context_, path);
            appendBone(path, transform, NameFallback::NodeName, dagNode.name(), true);
        }
        ++items_;
        return;
    }
    if (path.hasFn(MFn::kLight) && !isTransform) {
        gatherLight(context_, path);
        return;
    }
    if (path.hasFn(MFn::kCamera) && !isTransform) {
        if (!isDefaultCameraPath(path.fullPathName().asChar())) gatherCamera(context_, path);
        return;
    }

    // A group candidate; the first item of the walk is the world itself.
    const bool first = items_ == 0;
    ++items_;
    if (first) return;
    const MString fullPath = path.fullPathName();
    if (isDefaultCameraPath(fullPath.asChar()) || std::strcmp(fullPath.asChar(), kGroundPlanePath) == 0)
        return;
    if (hasExcludedGroupType(path)) return;
    NodeTransform transform;
    readNodeTransform(path, transform);
    appendBone(path, transform, NameFallback::KeepDefault, MString(), true);
}

void SceneWalk::appendBone(const MDagPath& path, const NodeTransform& transform, NameFallback fallback,
                           const MString& nodeName, bool sample) {
    if (Bone* bone = scene_.bones.append(-1)) {
        const std::int32_t index = scene_.bones.count() - 1;
        const MString fullPath = path.fullPathName();
        if (!setRecordNameFromPath(fullPath.asChar(), bone->name) && fallback == NameFallback::NodeName) {
            bone->name.set(nodeName.asChar());
        }
        if (!bone->fullPath.set(fullPath.asChar())) {
            context_.memoryFailure();
            return;
        }
        MDagPath parent(path);
        if (parent.pop()) {
            const std::string parentPath = parent.fullPathName().asChar();
            if (!bone->parentPath.set(parentPath)) {
                context_.memoryFailure();
                return;
            }
            bone->parentIndex = boneByPath(parentPath);
        } else {
            bone->parentPath.set("");
            bone->parentIndex = -1;
        }
        bone->position = transform.translation;
        bone->scale = transform.scale;
        bone->rotation = eulerToQuaternion(transform.rotation.x, transform.rotation.y, transform.rotation.z);
        firstBoneByPath_.emplace(fullPath.asChar(), index);
    } else {
        context_.memoryFailure();
    }

    // One track per bone in the same order, even for a bone that could not be appended.
    if (animation_ < 0) return;
    BoneTrack* track = scene_.animations[animation_].tracks.append();
    if (track == nullptr) {
        context_.memoryFailure();
        return;
    }
    if (sample) sampleNodeAnimation(context_, track, path);
}

}  // namespace

MStatus gatherScene(Scene& scene, bool fixFlippedFaces) {
    MStatus status;
    MItDag dag(MItDag::kBreadthFirst, MFn::kInvalid, &status);
    if (!status) return MS::kFailure;

    GatherContext context{scene, fixFlippedFaces};
    {
        const CurrentTimeGuard restoreTime;
        try {
            SceneWalk walk(context);
            walk.run(dag);
            applyTimeSettings(scene);
        } catch (const std::bad_alloc&) {
            context.outOfMemory = true;
        }
    }
    return context.outOfMemory ? MStatus(MS::kInsufficientMemory) : MStatus(MS::kSuccess);
}
