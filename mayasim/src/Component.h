#ifndef MAYASIM_COMPONENT_H
#define MAYASIM_COMPONENT_H
// Internal: single-indexed components (mesh vertices, edges, faces) as MObject targets.

#include <maya/MFn.h>
#include <maya/MObject.h>

#include <memory>
#include <unordered_set>
#include <vector>

#include "Object.h"

namespace mayasim {

class Component : public Object {
  public:
    explicit Component(MFn::Type kind) : kind(kind) {}
    MFn::Type apiType() const override { return kind; }
    bool hasFn(MFn::Type t) const override {
        return t == kind || t == MFn::kSingleIndexedComponent || t == MFn::kComponent || t == MFn::kBase;
    }

    MFn::Type kind;
    std::vector<int> elements;  // in the order added, duplicates dropped
    std::unordered_set<int> members;
    bool complete = false;  // stands for every element up to completeCount
    int completeCount = 0;

    void add(int e);
    // The indices this component names, given the size of the geometry it is applied to.
    std::vector<int> resolve(int total) const;
};
using ComponentPtr = std::shared_ptr<Component>;

// The component an object refers to, or null.
Component* componentOf(const MObject& o);
MObject makeComponent(MFn::Type kind, std::vector<int> elements);

}  // namespace mayasim

#endif
