// Declarations that must equal the devkit's, so that code compiling here compiles against Maya and
// the reverse: const-ness, reference kinds, parameter order, and members Maya does not have.
#include <gtest/gtest.h>
#include <maya/MAngle.h>
#include <maya/MColor.h>
#include <maya/MDistance.h>
#include <maya/MFnComponent.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNonAmbientLight.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MMeshSmoothOptions.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <type_traits>
#include <utility>

namespace {

#define MAYASIM_DETECT(Name, Expr)    \
    template <class T, class = void>  \
    struct Name : std::false_type {}; \
    template <class T>                \
    struct Name<T, std::void_t<decltype(Expr)>> : std::true_type {}

MAYASIM_DETECT(ColorIndexOnConst,
               std::declval<const T&>().getFaceVertexColorIndex(0, 0, std::declval<int&>()));
MAYASIM_DETECT(ColorIndexOnMutable, std::declval<T&>().getFaceVertexColorIndex(0, 0, std::declval<int&>()));
MAYASIM_DETECT(EdgeIndexOfVertexOnConst, std::declval<const T&>().index(std::declval<int>()));
MAYASIM_DETECT(EdgeIndexOfVertexOnMutable, std::declval<T&>().index(std::declval<int>()));
MAYASIM_DETECT(ElementCountOnConst, std::declval<const T&>().elementCount());
MAYASIM_DETECT(ComponentTypeOnConst, std::declval<const T&>().componentType());
MAYASIM_DETECT(UVOnConst, std::declval<const T&>().getUV(std::declval<int>(), std::declval<float2&>()));
MAYASIM_DETECT(SetsTemporary, std::declval<MPlug&>().setValue(std::declval<T>()));
MAYASIM_DETECT(SetsLvalue, std::declval<MPlug&>().setValue(std::declval<T&>()));
MAYASIM_DETECT(SmoothOptionsTakeStatus, (std::declval<T&>().setDivisions(1, std::declval<MStatus*>()),
                                         std::declval<const T&>().divisions(std::declval<MStatus*>()),
                                         std::declval<T&>().setSmoothUVs(true, std::declval<MStatus*>()),
                                         std::declval<const T&>().smoothUVs(std::declval<MStatus*>())));
MAYASIM_DETECT(HasCopy, std::declval<T&>().copy(std::declval<const T&>()));
MAYASIM_DETECT(HasSetToIdentity, std::declval<T&>().setToIdentity());
MAYASIM_DETECT(HasIsEquivalent, std::declval<const T&>().isEquivalent(std::declval<const T&>()));

static_assert(!ColorIndexOnConst<MFnMesh>::value && ColorIndexOnMutable<MFnMesh>::value);
static_assert(!EdgeIndexOfVertexOnConst<MItMeshEdge>::value &&
              EdgeIndexOfVertexOnMutable<MItMeshEdge>::value);
static_assert(ElementCountOnConst<MFnComponent>::value && ComponentTypeOnConst<MFnComponent>::value);
static_assert(UVOnConst<MItMeshPolygon>::value);
static_assert(!SetsTemporary<MAngle>::value && SetsLvalue<MAngle>::value);
static_assert(!SetsTemporary<MDistance>::value && SetsLvalue<MDistance>::value);
static_assert(!SetsTemporary<MTime>::value && SetsLvalue<MTime>::value);
static_assert(SmoothOptionsTakeStatus<MMeshSmoothOptions>::value);
static_assert(!HasCopy<MStringArray>::value && HasCopy<MIntArray>::value);
static_assert(!HasSetToIdentity<MQuaternion>::value);
static_assert(!HasIsEquivalent<MColor>::value && HasIsEquivalent<MQuaternion>::value);
static_assert(
    std::is_same_v<decltype(&MFnMesh::createUVSetWithName),
                   MString (MFnMesh::*)(const MString&, MDGModifier*, const MUintArray*, MStatus*)>);
static_assert(
    std::is_same_v<decltype(&MFnNonAmbientLight::decayRate), short (MFnNonAmbientLight::*)(MStatus*) const>);
static_assert(std::is_same_v<decltype(&MPoint::cartesianize), MPoint& (MPoint::*)()>);

TEST(ApiDeclarations, SmoothOptionsReportTheirStatus) {
    MMeshSmoothOptions options;
    MStatus status(MS::kFailure);
    options.setDivisions(2, &status);
    EXPECT_TRUE(status);
    status = MS::kFailure;
    EXPECT_EQ(options.divisions(&status), 2);
    EXPECT_TRUE(status);
}

}  // namespace
