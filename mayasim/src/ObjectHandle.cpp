// MObject: a shared handle to a stand-in object.
#include <maya/MObject.h>

#include "Access.h"
#include "Object.h"

using mayasim::Access;
using mayasim::ObjectPtr;

MObject MObject::kNullObj;

MObject::MObject() {
    new (fStore) ObjectPtr();
}
MObject::MObject(const MObject& other) {
    new (fStore) ObjectPtr(Access::ptr(other));
}
MObject::~MObject() {
    Access::ptr(*this).~ObjectPtr();
}
MObject& MObject::operator=(const MObject& other) {
    Access::ptr(*this) = Access::ptr(other);
    return *this;
}
bool MObject::hasFn(MFn::Type fs) const {
    const ObjectPtr& p = Access::ptr(*this);
    return p && p->hasFn(fs);
}
bool MObject::isNull() const {
    return !Access::ptr(*this);
}
MFn::Type MObject::apiType() const {
    const ObjectPtr& p = Access::ptr(*this);
    return p ? p->apiType() : MFn::kInvalid;
}
const char* MObject::apiTypeStr() const {
    return mayasim::apiTypeName(apiType());
}
bool MObject::operator==(const MObject& other) const {
    return Access::ptr(*this) == Access::ptr(other);
}
bool MObject::operator!=(const MObject& other) const {
    return !(*this == other);
}

MFn::MFn() = default;
