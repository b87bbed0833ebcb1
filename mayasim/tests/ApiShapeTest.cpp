// The API's compile-time rules: function sets are neither copyable nor addressable, handles are
// values, and type numbers are those of API 201500.
// MFnPlugin.h defines the exported version string; only one unit of a program may include it plainly.
#define MNoVersionString
#include <gtest/gtest.h>
#include <maya/MDagPath.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnTransform.h>
#include <maya/MItDag.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include <type_traits>
#include <utility>

namespace {

template <class T, class = void>
struct Addressable : std::false_type {};
template <class T>
struct Addressable<T, std::void_t<decltype(&std::declval<T&>())>> : std::true_type {};

template <class T>
constexpr bool isFunctionSetShape =
    !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T> && !Addressable<T>::value;

static_assert(isFunctionSetShape<MFnDependencyNode>);
static_assert(isFunctionSetShape<MFnDagNode>);
static_assert(isFunctionSetShape<MFnTransform>);
static_assert(isFunctionSetShape<MFnIkJoint>);
static_assert(isFunctionSetShape<MFnAnimCurve>);
static_assert(isFunctionSetShape<MFnAttribute>);
static_assert(isFunctionSetShape<MFnPlugin>);
static_assert(std::is_copy_constructible_v<MObject> && Addressable<MObject>::value);
static_assert(std::is_copy_constructible_v<MPlug> && std::is_copy_constructible_v<MDagPath>);
static_assert(!std::is_const_v<decltype(MObject::kNullObj)>);
static_assert(std::is_same_v<MS, MStatus>);
// A temporary cannot bind to the non-const reference parameters.
static_assert(
    !std::is_invocable_v<decltype(&MFnDagNode::addChild), MFnDagNode&, MObject, unsigned int, bool>);

TEST(ApiShape, TypeNumbersAreThoseOfApi201500) {
    EXPECT_EQ(MFn::kTransform, 110);
    EXPECT_EQ(MFn::kJoint, 121);
    EXPECT_EQ(MFn::kCamera, 250);
    EXPECT_EQ(MFn::kMesh, 296);
    EXPECT_EQ(MFn::kLight, 302);
    EXPECT_EQ(MFn::kLambert, 365);
    EXPECT_EQ(MFn::kTextureList, 480);
    EXPECT_EQ(MFn::kTexture3d, 498);
    EXPECT_EQ(MFn::kSkinClusterFilter, 675);
    EXPECT_EQ(MFn::kVolumeLight, 885);
    EXPECT_EQ(MItDag::kBreadthFirst, 2);
    EXPECT_EQ(MFnDagNode::kNextPos, 255);
    EXPECT_EQ(MFnAnimCurve::kAnimCurveTU, 3);
    EXPECT_EQ(MFnAnimCurve::kTangentAuto, 11);
}

}  // namespace
