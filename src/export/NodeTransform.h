#pragma once

// Reading a DAG node's local transform and naming records after host paths; shared by the
// walk, the light and camera gatherers and the animation sampler.

#include <maya/MDagPath.h>

#include "scene/Math.h"
#include "scene/Text.h"

// Translation, scale and Euler rotation (radians, in the order the host decomposes them)
// of one node's local transform.
struct NodeTransform {
    Vec3 translation = {0.0f, 0.0f, 0.0f};
    Vec3 scale = {1.0f, 1.0f, 1.0f};
    Vec3 rotation = {0.0f, 0.0f, 0.0f};
};

// Fills `out` from the local transformation of the transform node at or above `path`
// (the node itself when it is a transform, else its parent). `out` keeps what it held when
// the host cannot give that node.
void readNodeTransform(const MDagPath& path, NodeTransform& out);

// Names `record` after the last component of a '|'-separated host path. Returns false, and
// leaves the record unchanged, when the path is null or holds no '|'.
bool setRecordNameFromPath(const char* fullPath, RecordName& record);
