#ifndef MAYASIM_BRIDGE_H
#define MAYASIM_BRIDGE_H
// Internal: conversions between the API value classes and the graph core.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include "Access.h"
#include "Dag.h"
#include "Graph.h"

namespace mayasim {

// The live node an object refers to, or null.
Node* nodeOf(const MObject& o);
const Attribute* attributeOf(const MObject& o);
MObject wrapNode(const Node* n);
MObject wrapAttribute(const Attribute* a);

PlugRef toRef(const MPlug& p);
MPlug toPlug(const PlugRef& r);

// A DAG path's nodes; `valid` false for a default-constructed path.
const std::vector<ObjectPtr>& pathNodes(const MDagPath& p);
bool pathValid(const MDagPath& p);
NodePath toNodePath(const MDagPath& p);
MDagPath toDagPath(const NodePath& path);
Node* pathLeaf(const MDagPath& p);  // the world for an empty valid path; null when invalid

// The function set's node (null when unattached or dead).
Node* fnNode(const MFnBase& fn);
// The function set's DAG path: the one it was attached through, else the first path to its node.
NodePath fnPath(const MFnBase& fn);
// Whether the set was attached through a DAG path. Maya answers world-space queries only then ("Must
// have a DAG path to do world space transforms"); a set attached to the node object refuses them.
bool fnHasDagPath(const MFnBase& fn);

// Shape children of a transform that are not intermediate objects, in child order.
std::vector<Node*> shapesBelow(const Node* n);

MString fullPathName(const NodePath& path);
MString partialPathName(const NodePath& path);

inline void setStatus(MStatus* s, MStatus v) {
    if (s) *s = v;
}

}  // namespace mayasim

#endif
