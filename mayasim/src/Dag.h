#ifndef MAYASIM_DAG_H
#define MAYASIM_DAG_H
// Internal: DAG paths and transform evaluation.

#include <maya/MMatrix.h>

#include <vector>

#include "Graph.h"

namespace mayasim {

using NodePath = std::vector<Node*>;  // from the top of the hierarchy down; empty for the world

// The local matrix of a node at the current time (identity for anything but a transform).
MMatrix localMatrix(const Node& node);
// The product of the local matrices along a path, honouring inheritsTransform.
MMatrix pathMatrix(const NodePath& path);
// The path through each node's first parent.
NodePath firstPath(Node* node);
// The path of instance `instance` (the node's instance-th parent, then first parents).
NodePath instancePath(Node* node, unsigned instance);
// Every path to a node, in instance order.
std::vector<NodePath> allPaths(Node* node);

MMatrix toMMatrix(const Matrix16& m);
Matrix16 toMatrix16(const MMatrix& m);

}  // namespace mayasim

#endif
