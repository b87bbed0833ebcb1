#pragma once

// The writer of the current (version 31) inner file: a 128-byte header, then the light,
// camera, material, group, vertex, triangle, UV-set, mesh, bone, animation and info-string
// sections back to back.

#include "format/ByteWriter.h"
#include "format/QvxHeader.h"
#include "format/WriteOptions.h"

struct Scene;

// Writes the inner file of `scene` (in its scene form) into `out`, which must be empty,
// and leaves the final header in `header`. Returns 1 when every write succeeded, else 0.
int writeBody31(const Scene& scene, const WriteOptions& options, ByteWriter& out, QvxHeader& header);
