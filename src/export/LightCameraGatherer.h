#pragma once

// Light and camera shapes into Light and Camera records, and the frame rate of the host's
// time unit for the scene's animations.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include "export/GatherContext.h"
#include "scene/Math.h"

// Appends one Light for the light shape at `path`: kind, colour, intensity, cone angle,
// shadow radius and an orientation basis around its world direction.
MStatus gatherLight(GatherContext& context, const MDagPath& path);

// Appends one Camera for the camera shape at `path`, unless it is orthographic.
MStatus gatherCamera(GatherContext& context, const MDagPath& path);

// Frames per second of a host time unit number (MTime::Unit); 30 for units without a
// fixed rate (NTSC frame, user-defined, unknown).
float frameRateOfUnit(int unit);

// Gives every animation of the scene the frame rate of the user-interface time unit.
void applyTimeSettings(Scene& scene);

// Completes an orientation basis whose third column (elements 2, 6, 10) holds the unit
// direction d: column 0 := normalise(up x d), column 1 := normalise(d x (up x d)), with up
// (0, 1, 0), or (0, 0, -1) when d is straight up and (0, 0, 1) when d is straight down.
// The other elements keep their values.
void buildLookAtBasis(Matrix4& matrix);

// v / |v|, or (0, 0, 0) when |v| is 0.0001 or less.
Vec3 normalizeDirection(const Vec3& v);
