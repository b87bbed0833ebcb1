// qvx: inspect, check and convert ".qvx" scene files outside the host application.
//
//   qvx info FILE... [--json]        headers, counts, names, bone tree, animations
//   qvx dump FILE... [--output OUT] [--raw]   the loaded scene as JSON
//   qvx check FILE... [--json]       "FILE: ok" or "FILE: <result>: <where and why>"
//   qvx convert IN OUT [--v9] [--no-lights] ...   rewrite as a compressed version-31 (or 9) file
//   qvx convert IN... FOLDER         the same for many files, each into FOLDER under its name
//   qvx diff A B... [--tolerance T]  compare each file with A as scenes, field by field
//   qvx --version
//
// Every command goes through all the files it is given, reporting each, even after one fails.
// Exit codes: 0 success, 1 a file failed (or differs), 2 usage.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ConvertScene.h"
#include "DiffScene.h"
#include "ReportJson.h"
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

int dumpOne(const std::string& path, const std::string& output, bool raw) {
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

// Several files go to standard output one document after another (concatenated JSON, as jq
// and streaming JSON readers take it); one file may go to --output instead.
int dump(const std::vector<std::string>& files, const std::string& output, bool raw) {
    if (files.size() > 1 && !output.empty()) {
        std::cerr << "qvx dump: --output takes one file; " << files.size() << " were given\n";
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& path : files) {
        if (dumpOne(path, output, raw) != kExitOk) {
            status = kExitFileFailed;
        }
    }
    return status;
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

// Many inputs and a folder: each input is written into the folder under its own file name.
int convertMany(const std::vector<std::string>& paths, const ConvertFlags& flags) {
    const std::filesystem::path folder = paths.back();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::cerr << folder.string() << ": not a folder; give it last when converting several files\n";
        return kExitUsage;
    }
    int status = kExitOk;
    for (std::size_t i = 0; i + 1 < paths.size(); ++i) {
        const std::filesystem::path target = folder / std::filesystem::path(paths[i]).filename();
        if (convert(paths[i], target.string(), flags) != kExitOk) {
            status = kExitFileFailed;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Inspect, check, compare and convert .qvx scene files"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("qvx ") + QVX_VERSION);

    std::vector<std::string> infoFiles;
    bool infoJson = false;
    CLI::App* infoCmd =
        app.add_subcommand("info", "Headers, counts, names, bone tree and animations of each file");
    infoCmd->add_option("files", infoFiles, "Files to describe")->required();
    infoCmd->add_flag("--json", infoJson, "Print one JSON document describing every file");

    std::vector<std::string> dumpFiles;
    std::string dumpOutput;
    bool dumpRaw = false;
    CLI::App* dumpCmd = app.add_subcommand("dump", "The loaded scene as JSON");
    dumpCmd->add_option("files", dumpFiles, "Files to dump")->required();
    dumpCmd->add_option("--output,-o", dumpOutput, "Write the JSON here instead of standard output");
    dumpCmd->add_flag("--raw", dumpRaw, "Skip the post-load preparation: the file's records as stored");

    std::vector<std::string> checkFiles;
    CLI::App* checkCmd =
        app.add_subcommand("check", "Load each file with every check and say where it goes wrong");
    checkCmd->add_option("files", checkFiles, "Files to check")->required();
    bool checkJson = false;
    checkCmd->add_flag("--json", checkJson, "Print one JSON document with the result of every file");

    std::vector<std::string> convertPaths;
    ConvertFlags flags;
    CLI::App* convertCmd = app.add_subcommand("convert", "Rewrite a file as a compressed version-31 file");
    convertCmd
        ->add_option("paths", convertPaths,
                     "IN OUT, or several inputs and then the folder to write them into under their names")
        ->required()
        ->expected(2, -1);
    convertCmd->add_flag("--v9", flags.v9, "Write the version-9 body instead of version 31");
    convertCmd->add_flag("--no-lights", flags.noLights, "Leave out lights");
    convertCmd->add_flag("--no-materials", flags.noMaterials, "Leave out materials");
    convertCmd->add_flag("--no-colors", flags.noColors, "Leave out vertex colours");
    convertCmd->add_flag("--no-uvs", flags.noUVs, "Write every UV as (0, 0)");
    convertCmd->add_flag("--no-uvsets", flags.noUVSets, "Leave out the second UV set");
    convertCmd->add_flag("--no-bones", flags.noBones, "Leave out bones, weights and animation");
    convertCmd->add_flag("--no-animation", flags.noAnimation, "Leave out animation");

    std::vector<std::string> diffFiles;
    DiffSettings diffSettings;
    bool diffRaw = false;
    CLI::App* diffCmd = app.add_subcommand(
        "diff", "Compare files as scenes, every record and field; exit 1 when any differs from the first");
    diffCmd->add_option("files", diffFiles, "The file to compare with, then the files to compare")
        ->required()
        ->expected(2, -1);
    diffCmd
        ->add_option("--tolerance,-t", diffSettings.tolerance,
                     "Floats are equal within this much, relative above magnitude 1")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    diffCmd->add_option("--max", diffSettings.maxReported, "How many differences to print per file")
        ->capture_default_str();
    diffCmd->add_flag("--raw", diffRaw, "Compare the files' records as stored, before post-load preparation");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }

    if (*infoCmd) return infoJson ? runInfoJson(infoFiles) : info(infoFiles);
    if (*dumpCmd) return dump(dumpFiles, dumpOutput, dumpRaw);
    if (*checkCmd) return checkJson ? runCheckJson(checkFiles) : check(checkFiles);
    if (*convertCmd) {
        std::error_code error;
        if (convertPaths.size() == 2 && !std::filesystem::is_directory(convertPaths[1], error)) {
            return convert(convertPaths[0], convertPaths[1], flags);
        }
        return convertMany(convertPaths, flags);
    }
    if (*diffCmd) return runDiff(diffFiles, diffSettings, diffRaw);
    return kExitUsage;
}
