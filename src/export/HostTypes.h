#pragma once

// The host node types that the export classifies by, named as the API names them.
//
// The API's type enumeration is renumbered between releases (new types are inserted in
// the middle), so the export never compares raw numbers: it asks hasFn/apiType with the
// symbolic names below. Each entry also records the number the type has in the API
// release this translator was first written for, so that the list can be checked against
// a given set of headers and any drift shows up in one place.

#include <maya/MFn.h>

struct HostTypeEntry {
    int firstReleaseNumber;  // the type's number in API version 201500
    MFn::Type type;
    const char* name;
};

// Every type the walk and the gatherers test for.
inline constexpr HostTypeEntry kExportHostTypes[] = {
    {121, MFn::kJoint, "kJoint"},
    {110, MFn::kTransform, "kTransform"},
    {294, MFn::kNurbsSurface, "kNurbsSurface"},
    {296, MFn::kMesh, "kMesh"},
    {302, MFn::kLight, "kLight"},
    {250, MFn::kCamera, "kCamera"},
    {290, MFn::kGroundPlane, "kGroundPlane"},
    {281, MFn::kLocator, "kLocator"},
    {238, MFn::kNormalConstraint, "kNormalConstraint"},
    {240, MFn::kPointConstraint, "kPointConstraint"},
    {239, MFn::kOrientConstraint, "kOrientConstraint"},
    {242, MFn::kParentConstraint, "kParentConstraint"},
    {243, MFn::kPoleVectorConstraint, "kPoleVectorConstraint"},
    {244, MFn::kScaleConstraint, "kScaleConstraint"},
    {245, MFn::kTangentConstraint, "kTangentConstraint"},
    {313, MFn::kRigidConstraint, "kRigidConstraint"},
    {440, MFn::kOldGeometryConstraint, "kOldGeometryConstraint"},
    {120, MFn::kIkHandle, "kIkHandle"},
    {119, MFn::kIkEffector, "kIkEffector"},
    {122, MFn::kManipulator3D, "kManipulator3D"},
    {303, MFn::kAmbientLight, "kAmbientLight"},
    {305, MFn::kAreaLight, "kAreaLight"},
    {308, MFn::kDirectionalLight, "kDirectionalLight"},
    {309, MFn::kPointLight, "kPointLight"},
    {310, MFn::kSpotLight, "kSpotLight"},
    {885, MFn::kVolumeLight, "kVolumeLight"},
    {675, MFn::kSkinClusterFilter, "kSkinClusterFilter"},
    {368, MFn::kPhong, "kPhong"},
    {367, MFn::kBlinn, "kBlinn"},
    {365, MFn::kLambert, "kLambert"},
    {491, MFn::kFileTexture, "kFileTexture"},
    {793, MFn::kLayeredTexture, "kLayeredTexture"},
    {448, MFn::kPlace2dTexture, "kPlace2dTexture"},
    {786, MFn::kUvChooser, "kUvChooser"},
    {32, MFn::kBump, "kBump"},
};

// Nodes that never become group bones, in the order they are tested: the ground plane,
// locators, constraints, IK handles and effectors, manipulators, and the transforms above
// cameras and lights (whose shapes are exported as cameras and lights instead).
inline constexpr MFn::Type kExcludedGroupTypes[] = {
    MFn::kGroundPlane,
    MFn::kLocator,
    MFn::kNormalConstraint,
    MFn::kPointConstraint,
    MFn::kOrientConstraint,
    MFn::kParentConstraint,
    MFn::kPoleVectorConstraint,
    MFn::kScaleConstraint,
    MFn::kTangentConstraint,
    MFn::kRigidConstraint,
    MFn::kOldGeometryConstraint,
    MFn::kIkHandle,
    MFn::kIkEffector,
    MFn::kManipulator3D,
    MFn::kCamera,
    MFn::kLight,
};
