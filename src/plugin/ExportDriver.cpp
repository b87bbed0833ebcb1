#include "plugin/ExportDriver.h"

#include <ctime>
#include <new>
#include <string>

#include "export/SceneWalk.h"
#include "format/ExportFile.h"
#include "format/WriteOptions.h"
#include "host/Messages.h"
#include "plugin/QVXTranslator.h"
#include "plugin/RequestLog.h"
#include "process/ExportPrep.h"
#include "process/UnweldHardEdges.h"
#include "scene/Scene.h"

namespace {

constexpr char kWriteError[] = "QVX: ERROR: There was an error writing to file.";

bool gathersHostScene(MPxFileTranslator::FileAccessMode mode) {
    return mode == MPxFileTranslator::kSaveAccessMode || mode == MPxFileTranslator::kExportAccessMode ||
           mode == MPxFileTranslator::kExportActiveAccessMode;
}

WriteOptions writeOptionsOf(const QVXTranslator& translator) {
    const OptionFlags& flags = translator.options;
    WriteOptions options;
    options.export_lights = flags.export_lights != 0;
    options.export_materials = flags.export_materials != 0;
    options.export_colors = flags.export_colors != 0;
    options.export_uvs = flags.export_uvs != 0;
    options.export_uvsets = flags.export_uvsets != 0;
    options.export_bones = flags.export_bones != 0;
    options.export_animation = flags.export_animation != 0;
    options.export_as_qvx_v2x = flags.export_as_qvx_v2x != 0;
    options.description = translator.description;
    options.versionText = translator.versionText;
    options.dateText = translator.dateText;
    return options;
}

// The preparation passes stop quietly where memory ran out; a scene that did not reach the
// flattened form (meshes still holding their own vertices or materials, or more than one
// mesh left) must not be written as if it were complete.
bool reachedFlattenedForm(const Scene& scene) {
    if (scene.meshes.count() > 1) return false;
    for (const Mesh& mesh : scene.meshes) {
        if (mesh.vertices.count() > 0 || mesh.materials.count() > 0 || mesh.influenceNames.count() > 0) {
            return false;
        }
    }
    return true;
}

// Runs the export passes in their fixed order. Returns false, with `reason` set, when they
// could not complete.
bool prepareForWriting(Scene& scene, bool unweld, std::string& reason) {
    try {
        flattenMeshes(scene);
        makeKeysRestRelative(scene);
        computeAnimationRange(scene);
        mergeMaterialsByName(scene);
        if (!reachedFlattenedForm(scene)) {
            reason = "out of memory while preparing the scene";
            return false;
        }
        if (unweld) unweldHardEdges(scene);
    } catch (const std::bad_alloc&) {
        reason = "out of memory while preparing the scene";
        return false;
    }
    return true;
}

// Gathers, prepares and writes. Returns false, with `reason` naming what failed, when the
// target was not written; the target then keeps its previous contents.
bool writeScene(QVXTranslator& translator, const std::string& target, MPxFileTranslator::FileAccessMode mode,
                std::string& reason) {
    Scene& scene = translator.scene;
    if (gathersHostScene(mode)) {
        const MStatus gathered = gatherScene(scene, translator.options.fix_flipped_faces != 0);
        if (!gathered) {
            reason =
                "the host scene could not be gathered (" + std::string(gathered.errorString().asChar()) + ")";
            return false;
        }
    }
    if (!prepareForWriting(scene, translator.options.unweld_hard_edges != 0, reason)) return false;

    logLine("QVX: Writing to file...");
    translator.dateText = formatExportDate(std::time(nullptr));
    const ExportResult result = exportSceneFile(scene, writeOptionsOf(translator), target);
    if (!result.written) {
        reason = result.error;
        return false;
    }
    return true;
}

}  // namespace

MStatus exportFile(QVXTranslator& translator, const MFileObject& file, const MString& optionsString,
                   MPxFileTranslator::FileAccessMode mode) {
    const std::string target = file.fullName().asChar();
    parseOptionString(optionsString.asChar(), OptionDriver::Export, translator.options);

    logBanner("Tavrin Pro Exporter for Maya");
    // The host sees the step before the option values, standard error after them.
    static constexpr char kGathering[] = "QVX: Gathering scene...";
    logHost(kGathering);
    logOptionValuesToHost(OptionDriver::Export, translator.options);
    logOptionValuesToStderr(OptionDriver::Export, translator.options);
    logStderr(MString(kGathering) + "\n");

    // The walk expects an empty scene; a previous request always leaves it so.
    translator.scene.clear();
    std::string reason;
    bool written = false;
    try {
        written = writeScene(translator, target, mode, reason);
    } catch (const std::bad_alloc&) {
        reason = target + ": out of memory";
    }
    translator.scene.clear();

    if (!written) {
        logLine(MString("QVX: ERROR: ") + reason.c_str());
        logLine(kWriteError);
    }
    logLine("QVX: Finished.");
    flushLog();
    return written ? MStatus(MStatus::kSuccess) : MStatus(MStatus::kFailure);
}
