#pragma once

// The writer of the older (version 9) inner file: a 96-byte header; no light, camera,
// triangle or UV-set content; groups by name only; one mesh record per group with the UV
// coordinates inside the polygons; bones without a transform block; the old layer layout.

#include "format/ByteWriter.h"
#include "format/QvxHeader.h"
#include "format/WriteOptions.h"

struct Scene;

// Writes the inner file of `scene` (in its scene form) into `out`, which must be empty,
// and leaves the final header in `header`. Returns 1 when every write succeeded, else 0.
int writeBody9(const Scene& scene, const WriteOptions& options, ByteWriter& out, QvxHeader& header);
