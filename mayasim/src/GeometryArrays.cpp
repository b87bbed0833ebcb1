// Array classes of the geometry value types.
#include <maya/MColorArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MPointArray.h>
#include <maya/MTimeArray.h>
#include <maya/MVectorArray.h>

#include "ArrayImpl.h"

MAYASIM_OBJECT_ARRAY(MPointArray, MPoint)
MAYASIM_OBJECT_ARRAY(MFloatPointArray, MFloatPoint)
MAYASIM_OBJECT_ARRAY(MColorArray, MColor)
MAYASIM_OBJECT_ARRAY(MVectorArray, MVector)
MAYASIM_OBJECT_ARRAY(MFloatVectorArray, MFloatVector)
MAYASIM_OBJECT_ARRAY(MTimeArray, MTime)

MStatus MPointArray::append(double x, double y, double z, double w) {
    return append(MPoint(x, y, z, w));
}
MStatus MPointArray::set(unsigned int index, double x, double y, double z, double w) {
    return set(MPoint(x, y, z, w), index);
}
MStatus MFloatPointArray::append(float x, float y, float z, float w) {
    return append(MFloatPoint(x, y, z, w));
}
MStatus MFloatPointArray::set(unsigned int index, float x, float y, float z, float w) {
    return set(MFloatPoint(x, y, z, w), index);
}
MStatus MColorArray::append(float r, float g, float b, float a) {
    return append(MColor(r, g, b, a));
}
MStatus MColorArray::set(unsigned int index, float r, float g, float b, float a) {
    return set(MColor(r, g, b, a), index);
}
