// Components and the component function sets.
#include "Component.h"

#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>

#include <algorithm>

#include "Access.h"
#include "FnImpl.h"

namespace mayasim {

void Component::add(int e) {
    if (members.insert(e).second) elements.push_back(e);
}

std::vector<int> Component::resolve(int total) const {
    if (!complete) return elements;
    const int n = completeCount > 0 ? std::min(completeCount, total) : total;
    std::vector<int> all(static_cast<std::size_t>(std::max(0, n)));
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    return all;
}

Component* componentOf(const MObject& o) {
    return dynamic_cast<Component*>(Access::ptr(o).get());
}

MObject makeComponent(MFn::Type kind, std::vector<int> elements) {
    auto c = std::make_shared<Component>(kind);
    for (int e : elements) c->add(e);
    return Access::wrap(c);
}

}  // namespace mayasim

using mayasim::Access;
using mayasim::Component;

namespace {
Component* attached(const MFnBase& fn) {
    return dynamic_cast<Component*>(Access::fnObject(fn).get());
}
}  // namespace

MAYASIM_IMPLEMENT_MFN(MFnComponent, MFn::kComponent)

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    Component* c = attached(*this);
    if (ReturnStatus) *ReturnStatus = c ? MS::kSuccess : MS::kInvalidParameter;
    if (!c) return 0;
    return c->complete ? c->completeCount : static_cast<int>(c->elements.size());
}
MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    Component* c = attached(*this);
    if (ReturnStatus) *ReturnStatus = c ? MS::kSuccess : MS::kInvalidParameter;
    return c ? c->kind : MFn::kInvalid;
}
bool MFnComponent::isEmpty(MStatus* ReturnStatus) const {
    Component* c = attached(*this);
    if (ReturnStatus) *ReturnStatus = c ? MS::kSuccess : MS::kInvalidParameter;
    return !c || (c->complete ? c->completeCount == 0 : c->elements.empty());
}
bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    Component* c = attached(*this);
    if (ReturnStatus) *ReturnStatus = c ? MS::kSuccess : MS::kInvalidParameter;
    return c && c->complete;
}
MStatus MFnComponent::setComplete(bool complete) {
    Component* c = attached(*this);
    if (!c) return MS::kInvalidParameter;
    c->complete = complete;
    return MS::kSuccess;
}

MAYASIM_IMPLEMENT_MFN(MFnSingleIndexedComponent, MFn::kSingleIndexedComponent)

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    const bool known = compType == MFn::kMeshVertComponent || compType == MFn::kMeshEdgeComponent ||
                       compType == MFn::kMeshPolygonComponent;
    if (!known) {
        if (ReturnStatus) *ReturnStatus = MS::kInvalidParameter;
        return MObject();
    }
    MObject o = mayasim::makeComponent(compType, {});
    setObject(o);
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return o;
}
MStatus MFnSingleIndexedComponent::addElement(int element) {
    Component* c = attached(*this);
    if (!c) return MS::kInvalidParameter;
    if (element < 0) return MS::kInvalidParameter;
    c->add(element);
    return MS::kSuccess;
}
MStatus MFnSingleIndexedComponent::addElements(MIntArray& elements) {
    Component* c = attached(*this);
    if (!c) return MS::kInvalidParameter;
    for (unsigned i = 0; i < elements.length(); ++i)
        if (elements[i] < 0) return MS::kInvalidParameter;
    c->elements.reserve(c->elements.size() + elements.length());
    for (unsigned i = 0; i < elements.length(); ++i) c->add(elements[i]);
    return MS::kSuccess;
}
int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    Component* c = attached(*this);
    std::vector<int> all = c ? c->resolve(c->completeCount) : std::vector<int>();
    const bool ok = c && index >= 0 && static_cast<std::size_t>(index) < all.size();
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? all[static_cast<std::size_t>(index)] : -1;
}
MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const {
    Component* c = attached(*this);
    if (!c) return MS::kInvalidParameter;
    std::vector<int> all = c->resolve(c->completeCount);
    elements.setLength(static_cast<unsigned>(all.size()));
    for (std::size_t i = 0; i < all.size(); ++i) elements[static_cast<unsigned>(i)] = all[i];
    return MS::kSuccess;
}
MStatus MFnSingleIndexedComponent::setCompleteData(int numElements) {
    Component* c = attached(*this);
    if (!c || numElements < 0) return MS::kInvalidParameter;
    c->complete = true;
    c->completeCount = numElements;
    return MS::kSuccess;
}
MStatus MFnSingleIndexedComponent::getCompleteData(int& numElements) const {
    Component* c = attached(*this);
    if (!c) return MS::kInvalidParameter;
    numElements = c->complete ? c->completeCount : 0;
    return MS::kSuccess;
}
