#include "format/ExportFile.h"

#include "format/BodyWriter31.h"
#include "format/BodyWriter9.h"
#include "format/ByteWriter.h"
#include "scene/Scene.h"

bool writeSceneBody(const Scene& scene, const WriteOptions& options, std::vector<unsigned char>& inner,
                    QvxHeader& header, std::string& error) {
    ByteWriter out;
    const int ok = options.export_as_qvx_v2x ? writeBody9(scene, options, out, header)
                                             : writeBody31(scene, options, out, header);
    if (!ok) {
        inner.clear();
        error = "the scene does not fit into a file (out of memory or larger than 4 GiB)";
        return false;
    }
    inner = out.release();
    return true;
}

ExportResult exportSceneFile(const Scene& scene, const WriteOptions& options, const std::string& targetPath) {
    std::vector<unsigned char> inner;
    QvxHeader header;
    std::string reason;
    if (!writeSceneBody(scene, options, inner, header, reason)) {
        ExportResult result;
        result.error = targetPath + ": " + reason;
        return result;
    }
    return compressToTarget(inner.data(), inner.size(), targetPath);
}
