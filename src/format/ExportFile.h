#pragma once

// Writing a scene to a ".qvx" file from end to end: the body (version 31, or version 9 when
// options.export_as_qvx_v2x is on) is written into memory, then compressed behind the
// wrapper header into the target, which is replaced only once the new file is complete.

#include <string>
#include <vector>

#include "format/Compressor.h"
#include "format/QvxHeader.h"
#include "format/WriteOptions.h"

struct Scene;

// Writes the inner file of `scene` into `inner` (replacing its contents) and its final
// header into `header`. Returns false, with `error` saying why, when a write failed.
bool writeSceneBody(const Scene& scene, const WriteOptions& options, std::vector<unsigned char>& inner,
                    QvxHeader& header, std::string& error);

// Writes `scene` as a compressed file at `targetPath`. On failure nothing is written, an
// existing target keeps its previous contents and no temporary file is left behind; the
// result's error names the target and the reason.
ExportResult exportSceneFile(const Scene& scene, const WriteOptions& options, const std::string& targetPath);
