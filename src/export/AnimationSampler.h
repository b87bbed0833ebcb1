#pragma once

// Sampling one node's local transform frame by frame over the playback range into the
// keys of its bone's track.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include "export/GatherContext.h"

struct BoneTrack;

// Fills `track` with one position, rotation (Euler angles; the quaternion is left zero for
// the preparation passes) and scale key per whole frame from the start of the playback
// range up to, not including, its end; key times in seconds at the rate of the
// user-interface unit. Leaves the host's current time at the animation start time.
// Failure when `track` is null or memory runs out.
MStatus sampleNodeAnimation(GatherContext& context, BoneTrack* track, const MDagPath& path);
