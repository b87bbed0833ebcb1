#pragma once

// What every gatherer of one export shares: the scene being filled, the one option that
// gathering reads, and whether anything could not be kept for lack of memory.

#include <maya/MStatus.h>

struct Scene;

struct GatherContext {
    Scene& scene;
    bool fixFlippedFaces = false;
    // Set by the first allocation that fails. The export is then abandoned: a file with a
    // silently shortened mesh, weight list or key list would be worse than none.
    bool outOfMemory = false;

    // Records a failed allocation; returns the status the gatherer passes up.
    MStatus memoryFailure() {
        outOfMemory = true;
        return MStatus(MStatus::kInsufficientMemory);
    }
};
