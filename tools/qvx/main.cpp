// qvx: inspect, check and convert ".qvx" scene files outside the host application.
//
//   qvx info FILE...                 headers, counts, names, bone tree, animations
//   qvx dump FILE [--output OUT] [--raw]   the loaded scene as JSON
//   qvx check FILE...                "FILE: ok" or "FILE: <result>: <where and why>"
//   qvx convert IN OUT [--v9] [--no-lights] ...   rewrite as a compressed version-31 (or 9) file
//
// Exit codes: 0 success, 1 a file failed, 2 usage.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ConvertScene.h"
#include "SceneInfo.h"
#include "SceneJson.h"
#include "format/ExportFile.h"
#include "format/FileSystem.h"
#include "format/Loader.h"
#include "scene/Scene.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

void failLine(const LoadReport& report) {
    std::cerr << report.path << ": " << qvxResultName(report.result) << ": " << report.reason << "\n";
}

// Loads a file for inspection: nothing is written beside it.
int loadForReading(const std::string& path, Scene& scene, bool prepare, LoadReport& report) {
    LoadOptions options;
    options.prepare = prepare;
    options.extractEmbeddedFiles = false;
    return loadSceneFile(path, scene, options, &report);
}

int info(const std::vector<std::string>& files) {
    int status = kExitOk;
    for (const std::string& path : files) {
        Scene scene;
        LoadReport report;
        const int result = loadForReading(path, scene, false, report);
        printFileInfo(std::cout, report, scene);
        if (result != QVX_RESULT_OK) {
            failLine(report);
            status = kExitFileFailed;
        }
    }
    return status;
}

int dump(const std::string& path, const std::string& output, bool raw) {
    // Checked before the load: the JSON must never replace the file it describes.
    if (!output.empty() && sameExistingFile(path, output)) {
        std::cerr << output << ": is the input file; the JSON would replace it\n";
        return kExitFileFailed;
    }
    Scene scene;
    LoadReport report;
    if (loadForReading(path, scene, !raw, report) != QVX_RESULT_OK) {
        failLine(report);
        return kExitFileFailed;
    }
    if (output.empty()) return writeSceneJson(std::cout, scene) ? kExitOk : kExitFileFailed;
    std::string error;
    if (!writeSceneJsonFile(scene, path, output, error)) {
        std::cerr << error << "\n";
        return kExitFileFailed;
    }
    return kExitOk;
}

int check(const std::vector<std::string>& files) {
    int status = kExitOk;
    for (const std::string& path : files) {
        Scene scene;
        LoadReport report;
        if (loadForReading(path, scene, true, report) == QVX_RESULT_OK) {
            std::cout << path << ": ok\n";
        } else {
            std::cout << path << ": " << qvxResultName(report.result) << ": " << report.reason << "\n";
            status = kExitFileFailed;
        }
    }
    return status;
}

struct ConvertFlags {
    bool v9 = false, noLights = false, noMaterials = false, noColors = false, noUVs = false, noUVSets = false,
         noBones = false, noAnimation = false;
};

int convert(const std::string& in, const std::string& outPath, const ConvertFlags& flags) {
    Scene scene;
    LoadReport report;
    LoadOptions options;
    // The file's own records are rewritten as they stand; embedded textures are extracted
    // beside the output, where the converted scene looks for its textures.
    options.prepare = false;
    options.embeddedFilesFolder = qvxfs::folderOf(outPath);
    if (options.embeddedFilesFolder.empty())
        options.embeddedFilesFolder = std::string(".") + qvxfs::kSeparator;
    if (loadSceneFile(in, scene, options, &report) != QVX_RESULT_OK) {
        failLine(report);
        return kExitFileFailed;
    }
    for (const std::string& warning : report.parse.warnings)
        std::cerr << in << ": warning: " << warning << "\n";
    if (!giveMeshesTheirOwnUVSets(scene)) {
        std::cerr << in << ": out of memory while preparing the UV sets\n";
        return kExitFileFailed;
    }
    WriteOptions write;
    write.export_as_qvx_v2x = flags.v9;
    write.export_lights = !flags.noLights;
    write.export_materials = !flags.noMaterials;
    write.export_colors = !flags.noColors;
    write.export_uvs = !flags.noUVs;
    write.export_uvsets = !flags.noUVSets;
    write.export_bones = !flags.noBones;
    write.export_animation = !flags.noAnimation;
    const ExportResult result = exportSceneFile(scene, write, outPath);
    if (!result.written) {
        std::cerr << result.error << "\n";
        return kExitFileFailed;
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Inspect, check and convert .qvx scene files"};
    app.require_subcommand(1);

    std::vector<std::string> infoFiles;
    CLI::App* infoCmd =
        app.add_subcommand("info", "Headers, counts, names, bone tree and animations of each file");
    infoCmd->add_option("files", infoFiles, "Files to describe")->required();

    std::string dumpFile, dumpOutput;
    bool dumpRaw = false;
    CLI::App* dumpCmd = app.add_subcommand("dump", "The loaded scene as JSON");
    dumpCmd->add_option("file", dumpFile, "File to dump")->required();
    dumpCmd->add_option("--output,-o", dumpOutput, "Write the JSON here instead of standard output");
    dumpCmd->add_flag("--raw", dumpRaw, "Skip the post-load preparation: the file's records as stored");

    std::vector<std::string> checkFiles;
    CLI::App* checkCmd =
        app.add_subcommand("check", "Load each file with every check and say where it goes wrong");
    checkCmd->add_option("files", checkFiles, "Files to check")->required();

    std::string convertIn, convertOut;
    ConvertFlags flags;
    CLI::App* convertCmd = app.add_subcommand("convert", "Rewrite a file as a compressed version-31 file");
    convertCmd->add_option("input", convertIn, "File of any readable version")->required();
    convertCmd->add_option("output", convertOut, "File to write")->required();
    convertCmd->add_flag("--v9", flags.v9, "Write the version-9 body instead of version 31");
    convertCmd->add_flag("--no-lights", flags.noLights, "Leave out lights");
    convertCmd->add_flag("--no-materials", flags.noMaterials, "Leave out materials");
    convertCmd->add_flag("--no-colors", flags.noColors, "Leave out vertex colours");
    convertCmd->add_flag("--no-uvs", flags.noUVs, "Write every UV as (0, 0)");
    convertCmd->add_flag("--no-uvsets", flags.noUVSets, "Leave out the second UV set");
    convertCmd->add_flag("--no-bones", flags.noBones, "Leave out bones, weights and animation");
    convertCmd->add_flag("--no-animation", flags.noAnimation, "Leave out animation");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }

    if (*infoCmd) return info(infoFiles);
    if (*dumpCmd) return dump(dumpFile, dumpOutput, dumpRaw);
    if (*checkCmd) return check(checkFiles);
    if (*convertCmd) return convert(convertIn, convertOut, flags);
    return kExitUsage;
}
