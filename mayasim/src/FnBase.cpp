// MFnBase: what every function set shares (the attached object, and the DAG path when a DAG set is
// attached through one).
#include <maya/MFnBase.h>
#include <maya/MObject.h>

#include "Access.h"
#include "Graph.h"
#include "Object.h"

using mayasim::Access;
using mayasim::ObjectPtr;

MFnBase::MFnBase() {
    new (fObject) ObjectPtr();
    new (fPath) std::vector<ObjectPtr>();
}
MFnBase::~MFnBase() {
    using V = std::vector<ObjectPtr>;
    Access::fnPath(*this).~V();
    Access::fnObject(*this).~ObjectPtr();
}
MFn::Type MFnBase::type() const {
    return MFn::kBase;
}
const char* MFnBase::className() {
    return "MFnBase";
}
// Whether objects of type t can be attached: t is this set's type or derives from it.
bool MFnBase::hasObj(MFn::Type t) const {
    return mayasim::types().derives(t, type());
}
bool MFnBase::hasObj(const MObject& o) const {
    return o.hasFn(type());
}
MObject MFnBase::object(MStatus* ReturnStatus) const {
    const ObjectPtr& p = Access::fnObject(*this);
    if (ReturnStatus) *ReturnStatus = p ? MS::kSuccess : MS::kInvalidParameter;
    return Access::wrap(p);
}
MStatus MFnBase::setObject(MObject& object) {
    return MFnBase::setObject(static_cast<const MObject&>(object));
}
MStatus MFnBase::setObject(const MObject& object) {
    Access::fnPath(*this).clear();
    const ObjectPtr& p = Access::ptr(object);
    if (!p || !p->alive() || !p->hasFn(type())) {
        Access::fnObject(*this).reset();
        return MS::kInvalidParameter;
    }
    Access::fnObject(*this) = p;
    return MS::kSuccess;
}
