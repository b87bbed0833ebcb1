#pragma once

// The reader of the sectioned family (versions 6 to 33): a counting pass over every
// section, the allocation of the scene arrays from the counts, and a filling pass over the
// same sections.

#include "format/QvxHeader.h"
#include "format/ReadCursor.h"
#include "format/ReadSettings.h"

struct Scene;

// Reads the body that follows `header` (the cursor stands just after the header) into an
// empty scene. Returns QVX_RESULT_OK, or QVX_RESULT_FAILED with the cursor's failure set.
int readSectionedBody(ReadCursor& cursor, const QvxHeader& header, Scene& scene,
                      const ReadSettings& settings);
