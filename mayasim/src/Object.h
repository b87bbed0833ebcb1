#ifndef MAYASIM_OBJECT_H
#define MAYASIM_OBJECT_H
// Internal: everything an MObject can refer to (nodes, attributes, components, data, plug-ins)
// derives from Object. MObject holds a shared pointer, so identity is the pointer and a handle stays
// valid memory after its node is deleted (it then reports itself dead).

#include <maya/MFn.h>

#include <memory>

namespace mayasim {

class Object : public std::enable_shared_from_this<Object> {
  public:
    virtual ~Object() = default;
    virtual MFn::Type apiType() const = 0;
    // True for the object's own type and every type it is compatible with.
    virtual bool hasFn(MFn::Type type) const { return type == apiType() || type == MFn::kBase; }
    virtual bool alive() const { return true; }
};

using ObjectPtr = std::shared_ptr<Object>;

// Symbolic name of a type number ("kTransform"), or "kInvalid" when unknown.
const char* apiTypeName(MFn::Type type);

}  // namespace mayasim

#endif
