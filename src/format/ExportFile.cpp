#include "format/ExportFile.h"

#include "format/BodyWriter31.h"
#include "format/BodyWriter9.h"
#include "format/ByteWriter.h"
#include "scene/Scene.h"

#include <new>

namespace {

constexpr const char* kBodyFailure =
    "the scene does not fit into a file (out of memory or larger than 4 GiB)";

bool writeBody(const Scene& scene, const WriteOptions& options, ByteWriter& out, QvxHeader& header) {
    return options.export_as_qvx_v2x ? writeBody9(scene, options, out, header) == 1
                                     : writeBody31(scene, options, out, header) == 1;
}

}  // namespace

bool writeSceneBody(const Scene& scene, const WriteOptions& options, std::vector<unsigned char>& inner,
                    QvxHeader& header, std::string& error) {
    ByteWriter out;
    inner.clear();
    if (!writeBody(scene, options, out, header)) {
        error = kBodyFailure;
        return false;
    }
    try {
        inner = out.release();
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
    return true;
}

ExportResult exportSceneFile(const Scene& scene, const WriteOptions& options, const std::string& targetPath) {
    ByteWriter out;
    QvxHeader header;
    if (!writeBody(scene, options, out, header)) {
        ExportResult result;
        result.error = targetPath + ": " + kBodyFailure;
        return result;
    }
    // Compressed straight from the writer's buffer: the inner file is never copied.
    return compressToTarget(out.data(), out.size(), targetPath);
}
