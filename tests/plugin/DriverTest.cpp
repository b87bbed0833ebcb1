// The read and write requests end to end: their message lines on both channels, the access
// modes, the load result codes, and what a failed write leaves behind.

#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <string>
#include <vector>

#include "format/ExportFile.h"
#include "import/ImportTestSupport.h"
#include "plugin/QVXTranslator.h"

namespace {

using namespace import_test;

MFileObject fileAt(const std::string& path) {
    MFileObject file;
    file.setFullName(MString(path.c_str()));
    return file;
}

const std::vector<std::string> kExportBanner = {
    "QVX: =======================================",
    "QVX: Tavrin Pro Exporter for Maya",
    "QVX: =======================================",
};
const std::vector<std::string> kExportOptionLines = {
    "QVX: export_lights: 1",     "QVX: export_materials: 1",  "QVX: export_colors: 1",
    "QVX: export_uvs: 1",        "QVX: export_uvsets: 1",     "QVX: export_bones: 1",
    "QVX: export_animation: 1",  "QVX: fix_flipped_faces: 1", "QVX: unweld_hard_edges: 0",
    "QVX: export_as_qvx_v2x: 0",
};

const std::vector<std::string> kImportHead = {
    "QVX: =======================================",
    "QVX: Tavrin Pro Importer for Maya",
    "QVX: =======================================",
    "QVX: Preparing scene from file...",
    "QVX: import_unsampled_keys: 1",
    "QVX: import_phong_materials: 1",
};

std::vector<std::string> joined(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::string asText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The host log shows "Gathering scene..." before the option lines; standard error after them.
const std::vector<std::string> kExportHead =
    joined(joined(kExportBanner, {"QVX: Gathering scene..."}), kExportOptionLines);
const std::string kExportHeadStderr =
    asText(joined(joined(kExportBanner, kExportOptionLines), {"QVX: Gathering scene..."}));
const std::string kImportHeadStderr = asText(kImportHead);

class Drivers : public HostTest {
  protected:
    MStatus write(const std::string& path, const char* options = "",
                  MPxFileTranslator::FileAccessMode mode = MPxFileTranslator::kExportAccessMode) {
        return translator.writer(fileAt(path), MString(options), mode);
    }
    MStatus read(const std::string& path, const char* options = "",
                 MPxFileTranslator::FileAccessMode mode = MPxFileTranslator::kImportAccessMode) {
        return translator.reader(fileAt(path), MString(options), mode);
    }
    // A small scene file: one quad with a material.
    std::string quadFile() {
        Scene scene;
        addMaterial(scene, "Red");
        addQuad(scene, 0);
        const std::string path = folder.file("quad.qvx");
        writeScene(scene, path);
        return path;
    }
    QVXTranslator translator;
    TempFolder folder;
};

// ---- Write requests ----

TEST_F(Drivers, WriteShowsItsLinesInOrderOnBothChannels) {
    const std::string target = folder.file("out.qvx");
    ASSERT_TRUE(write(target));
    EXPECT_EQ(hostLines(), joined(kExportHead, {"QVX: Writing to file...", "QVX: Finished."}));
    for (const mayasim::LogLine& line : mayasim::messages()) {
        EXPECT_EQ(line.severity, mayasim::Severity::kInfo) << line.text;
    }
    EXPECT_EQ(stderrText(), kExportHeadStderr + "QVX: Writing to file...\nQVX: Finished.\n");
}

TEST_F(Drivers, WriteLeavesOnlyTheTargetAndAnEmptyScene) {
    const std::string target = folder.file("out.qvx");
    ASSERT_TRUE(write(target));
    const std::vector<unsigned char> bytes = readBytes(target);
    ASSERT_GE(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "QVXH");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.qvx"});
    EXPECT_FALSE(translator.scene.meshes.present());
}

TEST_F(Drivers, EveryWriteModeWritesTheSameFile) {
    // Save, export and export-selection all gather the whole scene (here the default
    // perspective camera); the files differ only in the date they carry, which has a fixed
    // length. Any other mode gathers nothing and writes the empty scene.
    const MPxFileTranslator::FileAccessMode modes[] = {MPxFileTranslator::kSaveAccessMode,
                                                       MPxFileTranslator::kExportAccessMode,
                                                       MPxFileTranslator::kExportActiveAccessMode};
    std::size_t size = 0;
    for (const auto mode : modes) {
        const std::string target = folder.file("mode" + std::to_string(int(mode)) + ".qvx");
        ASSERT_TRUE(write(target, "", mode)) << mode;
        const std::size_t written = readBytes(target).size();
        if (size == 0) size = written;
        EXPECT_EQ(written, size) << mode;
    }
    const std::string unknown = folder.file("mode0.qvx");
    ASSERT_TRUE(write(unknown, "", MPxFileTranslator::kUnknownAccessMode));
    EXPECT_LT(readBytes(unknown).size(), size);
}

TEST_F(Drivers, WriteThatCannotReplaceTheTargetFailsAndLeavesNothingBehind) {
    // A folder where the file should go: the new file is written beside it but cannot take
    // its place.
    const std::string target = folder.file("taken.qvx");
    ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
    const MStatus status = write(target);
    EXPECT_FALSE(status);
    const std::vector<std::string> lines = hostLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 4], "QVX: Writing to file...");
    // The reason names the target; its wording is the file layer's.
    EXPECT_EQ(lines[lines.size() - 3].rfind("QVX: ERROR: " + target + ": ", 0), 0u)
        << lines[lines.size() - 3];
    EXPECT_EQ(lines[lines.size() - 2], "QVX: ERROR: There was an error writing to file.");
    EXPECT_EQ(lines.back(), "QVX: Finished.");
    const std::string err = stderrText();
    EXPECT_NE(err.find("\nQVX: ERROR: There was an error writing to file.\nQVX: Finished.\n"),
              std::string::npos);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.qvx"});
    rmdir(target.c_str());
}

TEST_F(Drivers, WriteIntoAMissingFolderSaysWhyBeforeAnyFileExists) {
    const std::string target = folder.file("missing/out.qvx");
    EXPECT_FALSE(write(target));
    const std::vector<std::string> lines = hostLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3].rfind("QVX: ERROR: " + target + ": ", 0), 0u)
        << lines[lines.size() - 3];
    EXPECT_NE(lines[lines.size() - 3].find("missing"), std::string::npos) << lines[lines.size() - 3];
    EXPECT_EQ(lines[lines.size() - 2], "QVX: ERROR: There was an error writing to file.");
    EXPECT_TRUE(folder.entries().empty());
}

// ---- Read requests ----

TEST_F(Drivers, ReadShowsItsLinesInOrderOnBothChannels) {
    const std::string path = quadFile();
    ASSERT_TRUE(read(path));
    EXPECT_EQ(hostLines(), joined(kImportHead, {"QVX: Merging into current scene...", "QVX: Finished."}));
    EXPECT_EQ(stderrText(), kImportHeadStderr + "QVX: Merging into current scene...\nQVX: Finished.\n");
    EXPECT_TRUE(exists("qvxTransform"));
    EXPECT_TRUE(exists("|qvxTransform|QVXMesh0"));
    EXPECT_FALSE(translator.scene.meshes.present());
    EXPECT_EQ(translator.lastFile.fullName(), MString(path.c_str()));
    EXPECT_EQ(translator.sourcePath, path);
}

TEST_F(Drivers, OpenModeImportsIntoNewSceneAndOtherModesBuildNothing) {
    const std::string path = quadFile();
    ASSERT_TRUE(read(path, "", MPxFileTranslator::kOpenAccessMode));
    EXPECT_EQ(hostLines(), joined(kImportHead, {"QVX: Importing into new scene...", "QVX: Finished."}));
    EXPECT_TRUE(exists("qvxTransform"));

    mayasim::newScene();
    const MPxFileTranslator::FileAccessMode others[] = {MPxFileTranslator::kReferenceAccessMode,
                                                        MPxFileTranslator::kUnknownAccessMode,
                                                        MPxFileTranslator::kSaveAccessMode};
    for (const auto mode : others) {
        mayasim::clearMessages();
        EXPECT_TRUE(read(path, "", mode)) << mode;
        EXPECT_EQ(hostLines(), joined(kImportHead, {"QVX: Finished."})) << mode;
        EXPECT_FALSE(exists("qvxTransform")) << mode;
    }
}

TEST_F(Drivers, ReadShowsTheTimeLinesOfAnAnimatedFile) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = *scene.animations.append();
    animation.startTick = 10;
    animation.tickCount = 90;
    animation.fps = 25;
    ASSERT_EQ(animation.tracks.allocate(1), 1);
    const std::string path = folder.file("anim.qvx");
    writeScene(scene, path);
    ASSERT_TRUE(read(path));
    EXPECT_EQ(hostLines(), joined(kImportHead, {"QVX: Merging into current scene...", "QVX: tick_start: 10",
                                                "QVX: tick_end: 100", "QVX: fps: 25", "QVX: Finished."}));
    EXPECT_EQ(stderrText(), std::string(kImportHeadStderr) +
                                "QVX: Merging into current scene...\nQVX: tick_start: 10.000000\n"
                                "QVX: tick_end: 100.000000\nQVX: fps: 25.000000\nQVX: Finished.\n");
}

struct LoadFailure {
    const char* what;
    std::vector<unsigned char> bytes;  // empty: no file at all
    const char* hostLine;
    const char* stderrLine;
};

TEST_F(Drivers, EveryLoadFailureShowsItsLineAndFails) {
    Scene scene;
    addQuad(scene, -1);
    std::vector<unsigned char> inner;
    QvxHeader header;
    std::string error;
    ASSERT_TRUE(writeSceneBody(scene, fixedOptions(), inner, header, error)) << error;
    auto wrongMagic = inner;
    wrongMagic[0] = 'X';
    auto oldVersion = inner;
    oldVersion[4] = 5;
    auto badSize = inner;
    badSize[12] = static_cast<unsigned char>(badSize[12] + 1);
    auto truncated = inner;
    truncated.resize(100);

    const LoadFailure cases[] = {
        {"missing file",
         {},
         "QVX: ERROR: Could not open the file.  Try closing it first.",
         "QVX: ERROR: Could not open the file.  Try closing it first.\n"},
        {"wrong magic", wrongMagic, "QVX: ERROR: File is not a Tavrin Pro file.",
         "QVX: ERROR: File is not a Tavrin file.\n"},
        {"old version", oldVersion, "QVX: ERROR: Older QVX file formats are not supported.",
         "QVX: ERROR: Older QVX file formats are not supported.\n"},
        {"size slot", badSize, "QVX: ERROR: Corrupt file header found.",
         "QVX: ERROR: Corrupt file header found.\n"},
        {"short header", truncated, "QVX: ERROR: There was an error loading from file.",
         "QVX: ERROR: There was an error loading from file.\n"},
    };
    for (const LoadFailure& c : cases) {
        const std::string path = folder.file(std::string(c.what) + ".qvx");
        if (!c.bytes.empty()) writeBytes(path, c.bytes);
        mayasim::clearMessages();
        ::testing::internal::GetCapturedStderr();
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(read(path)) << c.what;
        EXPECT_EQ(hostLines(), joined(kImportHead, {c.hostLine, "QVX: Finished."})) << c.what;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  kImportHeadStderr + c.stderrLine + "QVX: Finished.\n")
            << c.what;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(exists("qvxTransform")) << c.what;
    }
}

TEST_F(Drivers, FlagsPersistAndEachDriverReadsOnlyItsOwnNames) {
    const std::string path = quadFile();
    const std::string target = folder.file("out.qvx");
    ASSERT_TRUE(write(target, "export_lights=0;import_phong_materials=0;"));
    EXPECT_EQ(translator.options.export_lights, 0u);
    EXPECT_EQ(translator.options.import_phong_materials, 1u);
    ASSERT_TRUE(write(target, ""));
    EXPECT_EQ(translator.options.export_lights, 0u);
    ASSERT_TRUE(read(path, "export_lights=1;import_phong_materials=0;"));
    EXPECT_EQ(translator.options.export_lights, 0u);
    EXPECT_EQ(translator.options.import_phong_materials, 0u);
    EXPECT_EQ(typeOf("Red"), "lambert");
}

}  // namespace
