#pragma once

// The import build: a loaded and prepared scene becomes host nodes under one root
// transform "qvxTransform": time settings, joints with their animation curves, one polygon
// mesh with UV sets, skin cluster, colour set and shading networks, lights and cameras.
//
// Each builder lives in its own file; they share the request below, which carries the
// scene, the two import options and what the builders learn about the host nodes they
// made (the joints made for the bones, the names the host gave the mesh's UV sets).

#include <maya/MDagPath.h>
#include <maya/MFileObject.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Math.h"

struct Scene;
struct Material;
struct MaterialLayer;
class MFnLambertShader;
class MFnPhongShader;

struct BuildRequest {
    explicit BuildRequest(Scene& built) : scene(built) {}

    Scene& scene;
    bool unsampledKeys = true;   // every stored key becomes a curve key; else one key per frame
    bool phongMaterials = true;  // Phong materials; else Lambert
    MFileObject sceneFile;       // the file being imported: textures are looked for beside it
    // Sampled curves get one key per frame of the animation's range. A range read from a
    // damaged file can claim billions of frames; beyond this many a curve is cut short.
    std::int64_t maxSampledFrames = 1000000;

    // Filled by the build. joints[i] is the joint made for bone i (null when none was);
    // Bone::hostJoint holds i + 1 for such a bone.
    std::vector<MObject> joints;
    // The names the mesh's two UV sets ended with, for the UV choosers of textures.
    MString uvSetNames[2];
    // The lowest element of the texture list's "textures" that may still be free; texture
    // registration only ever fills elements, so the search resumes here.
    unsigned int nextTextureSlot = 0;
};

// The whole build, in order: root transform, time settings, skeleton, mesh, lights,
// cameras. A failing skeleton or mesh build ends it with that status (what was made
// stays); otherwise the result is the cameras' status.
MStatus buildScene(BuildRequest& request);

// ---- Root and time settings (TimeSettings.cpp) ----

// The host's time unit of a frame rate: the first of the host's units whose rate lies
// within 0.0001 of `rate`, else 30 frames per second.
MTime::Unit timeUnitForRate(float rate);
// Time unit, playback and animation range and current time from the first animation
// (nothing changes without bones or animations).
MStatus applyTimeSettings(BuildRequest& request);

// ---- Lights and cameras (LightsAndCameras.cpp) ----

MStatus buildLights(BuildRequest& request, MObject& root);
MStatus buildCameras(BuildRequest& request, MObject& root);

// ---- Skeleton and curves (Skeleton.cpp) ----

// Joints under the root for every bone reachable from a root bone, depth first, with the
// animation curves of the first animation. Reports bones whose Euler keys were unwrapped.
MStatus buildSkeleton(BuildRequest& request, MObject& root);
// Moves `current` by one turn towards `previous` when they lie more than 179 degrees apart.
float unwrapAngle(float previous, float current);
// The Hamilton product a·b.
Quat quatMultiply(const Quat& a, const Quat& b);

// ---- Mesh and skin (MeshBuilder.cpp) ----

// All meshes of the scene as one host mesh under the root, with its UV sets, skin cluster
// and weights, colour set and one shading group per material.
MStatus buildMeshes(BuildRequest& request, MObject& root);

// ---- Shading networks (ShadingNetworks.cpp) ----

// A new material node named after `material` (or "Unassigned" when null) with its values.
MStatus createLambertMaterial(BuildRequest& request, const Material* material, MObject& node);
MStatus createPhongMaterial(BuildRequest& request, const Material* material, MObject& node);
// The texture networks a material's layers ask for, wired into the material node that the
// matching function set is attached to.
MStatus connectColorTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                            MFnLambertShader& lambert, const Material* material);
MStatus connectLayeredTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                              MFnLambertShader& lambert, const Material* material);
MStatus connectBumpTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                           MFnLambertShader& lambert, const Material* material);
// The file-name part of a stored texture path (after the last '/', '\\' or drive ':').
std::string textureFileName(const std::string& path);
