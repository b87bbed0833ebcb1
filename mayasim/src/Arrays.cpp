// Array classes of the core value types; the geometry arrays live with their element types.
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MStringArray.h>
#include <maya/MUintArray.h>

#include "ArrayImpl.h"

MAYASIM_NUMERIC_ARRAY(MIntArray, int)
MAYASIM_NUMERIC_ARRAY(MUintArray, unsigned int)
MAYASIM_NUMERIC_ARRAY(MFloatArray, float)
MAYASIM_NUMERIC_ARRAY(MDoubleArray, double)
MAYASIM_OBJECT_ARRAY(MObjectArray, MObject)

MAYASIM_ARRAY_COMMON(MStringArray, MString)
MStringArray::MStringArray(const MString strings[], unsigned int count) {
    new (fStore) std::vector<MString>(strings ? strings : nullptr, strings ? strings + count : nullptr);
}
MStringArray::MStringArray(const char* strings[], unsigned int count) {
    new (fStore) std::vector<MString>();
    auto& v = mayasim::Access::vec<MString>(*this);
    if (strings)
        for (unsigned int i = 0; i < count; ++i) v.emplace_back(strings[i]);
}
MStringArray::MStringArray(unsigned int initialSize, const MString& initialValue) {
    new (fStore) std::vector<MString>(initialSize, initialValue);
}
MStatus MStringArray::set(const char* element, unsigned int index) {
    return set(MString(element), index);
}
MString MStringArray::operator[](unsigned int index) const {
    return mayasim::Access::vec<MString>(*this)[index];
}
MString& MStringArray::operator[](unsigned int index) {
    return mayasim::Access::vec<MString>(*this)[index];
}
