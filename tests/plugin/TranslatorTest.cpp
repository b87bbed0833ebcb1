#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <string>
#include <vector>

#include "plugin/QVXTranslator.h"

namespace {

MFileObject fileNamed(const char* path) {
    MFileObject file;
    file.setFullName(MString(path));
    return file;
}

std::vector<std::string> hostLines() {
    std::vector<std::string> lines;
    for (const mayasim::LogLine& line : mayasim::messages()) {
        lines.push_back(line.text);
    }
    return lines;
}

class TranslatorIdentification : public ::testing::Test {
  protected:
    MPxFileTranslator::MFileKind identify(const char* path, const char* buffer, short size) const {
        return translator.identifyFile(fileNamed(path), buffer, size);
    }
    QVXTranslator translator;
};

TEST_F(TranslatorIdentification, UpperCaseExtensionWithMagicIsMyType) {
    EXPECT_EQ(identify("scene.QVX", "QVXH", 4), MPxFileTranslator::kIsMyFileType);
}

TEST_F(TranslatorIdentification, MagicFollowedByMoreBytesIsMyType) {
    EXPECT_EQ(identify("/projects/a/scene.qvx", "QVXH\x1f\0\0\0", 8), MPxFileTranslator::kIsMyFileType);
}

TEST_F(TranslatorIdentification, OtherFirstBytesCouldBeMyType) {
    EXPECT_EQ(identify("scene.qvx", "QVXh", 4), MPxFileTranslator::kCouldBeMyFileType);
    EXPECT_EQ(identify("scene.qvx", "ABCDEFGH", 8), MPxFileTranslator::kCouldBeMyFileType);
}

TEST_F(TranslatorIdentification, MissingOrShortBufferCouldBeMyType) {
    EXPECT_EQ(identify("scene.qvx", nullptr, 0), MPxFileTranslator::kCouldBeMyFileType);
    EXPECT_EQ(identify("scene.qvx", nullptr, 64), MPxFileTranslator::kCouldBeMyFileType);
    EXPECT_EQ(identify("scene.qvx", "QVX", 3), MPxFileTranslator::kCouldBeMyFileType);
    EXPECT_EQ(identify("scene.qvx", "QVXH", -1), MPxFileTranslator::kCouldBeMyFileType);
}

TEST_F(TranslatorIdentification, OtherExtensionIsNotMyType) {
    EXPECT_EQ(identify("scene.obj", "QVXH", 4), MPxFileTranslator::kNotMyFileType);
    EXPECT_EQ(identify("scene.qvx.bak", "QVXH", 4), MPxFileTranslator::kNotMyFileType);
    EXPECT_EQ(identify("sceneqvx", "QVXH", 4), MPxFileTranslator::kNotMyFileType);
}

TEST_F(TranslatorIdentification, NameShorterThanFourCharactersIsNotMyType) {
    EXPECT_EQ(identify("qvx", "QVXH", 4), MPxFileTranslator::kNotMyFileType);
    EXPECT_EQ(identify("/dir.qvx/a", "QVXH", 4), MPxFileTranslator::kNotMyFileType);
}

TEST_F(TranslatorIdentification, ExtensionAloneIsEnough) {
    EXPECT_EQ(identify(".qvx", "QVXH", 4), MPxFileTranslator::kIsMyFileType);
}

TEST_F(TranslatorIdentification, FileWithoutNameIsNotMyType) {
    EXPECT_EQ(translator.identifyFile(MFileObject(), "QVXH", 4), MPxFileTranslator::kNotMyFileType);
}

class TranslatorAnswers : public ::testing::Test {
  protected:
    QVXTranslator translator;
};

TEST_F(TranslatorAnswers, ReadsAndWritesQvxFiles) {
    EXPECT_TRUE(translator.haveReadMethod());
    EXPECT_TRUE(translator.haveWriteMethod());
    EXPECT_EQ(translator.defaultExtension(), "qvx");
    EXPECT_EQ(translator.filter(), "*.qvx");
}

TEST_F(TranslatorAnswers, KeepsTheHostDefaultsForOtherQueries) {
    const MPxFileTranslator base;
    EXPECT_EQ(translator.canBeOpened(), base.canBeOpened());
    EXPECT_EQ(translator.haveNamespaceSupport(), base.haveNamespaceSupport());
    EXPECT_EQ(translator.haveReferenceMethod(), base.haveReferenceMethod());
    EXPECT_EQ(translator.allowMultipleFileOptimization(), base.allowMultipleFileOptimization());
}

TEST_F(TranslatorAnswers, StartsEmptyWithFixedTexts) {
    EXPECT_EQ(translator.lastFile.fullName(), "");
    EXPECT_TRUE(translator.loadBuffer.empty());
    EXPECT_EQ(translator.loadCursor, 0u);
    EXPECT_EQ(translator.loadSize, 0u);
    EXPECT_FALSE(translator.scene.bones.present());
    EXPECT_FALSE(translator.scene.meshes.present());
    EXPECT_EQ(translator.description, "Tavrin Pro Maya 2015 Translator");
    EXPECT_EQ(translator.versionText, "v3.0");
    EXPECT_EQ(translator.dateText, "");
    EXPECT_EQ(translator.sourcePath, "");
}

TEST_F(TranslatorAnswers, CreatorMakesAFreshTranslator) {
    std::unique_ptr<MPxFileTranslator> made(static_cast<MPxFileTranslator*>(QVXTranslator::creator()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->filter(), "*.qvx");
}

class TranslatorRequests : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
    }
    void TearDown() override {
        mayasim::clearMessages();
        mayasim::setEchoMessages(true);
    }
    MStatus write(const char* options) {
        return translator.writer(fileNamed("/tmp/out.qvx"), MString(options),
                                 MPxFileTranslator::kExportAccessMode);
    }
    MStatus read(const char* options) {
        return translator.reader(fileNamed("/tmp/in.qvx"), MString(options),
                                 MPxFileTranslator::kImportAccessMode);
    }
    QVXTranslator translator;
};

TEST_F(TranslatorRequests, FlagsPersistAcrossRequests) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(write("export_lights=0;"));
    EXPECT_EQ(translator.options.export_lights, 0u);
    EXPECT_EQ(translator.options.export_materials, 1u);
    EXPECT_TRUE(write(""));
    EXPECT_EQ(translator.options.export_lights, 0u);
    EXPECT_TRUE(read(""));
    EXPECT_EQ(translator.options.export_lights, 0u);
    ::testing::internal::GetCapturedStderr();
}

TEST_F(TranslatorRequests, EachHandlerReadsOnlyItsOwnNames) {
    const char* both = "export_lights=0;import_phong_materials=0;";
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(write(both));
    EXPECT_EQ(translator.options.export_lights, 0u);
    EXPECT_EQ(translator.options.import_phong_materials, 1u);
    translator.options.export_lights = 1;
    EXPECT_TRUE(read(both));
    EXPECT_EQ(translator.options.export_lights, 1u);
    EXPECT_EQ(translator.options.import_phong_materials, 0u);
    ::testing::internal::GetCapturedStderr();
}

TEST_F(TranslatorRequests, WriteLogsGatheringBeforeOptionsToHost) {
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(write("unweld_hard_edges=1"));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(hostLines(), (std::vector<std::string>{
                               "QVX: =======================================",
                               "QVX: Tavrin Pro Exporter for Maya",
                               "QVX: =======================================",
                               "QVX: Gathering scene...",
                               "QVX: export_lights: 1",
                               "QVX: export_materials: 1",
                               "QVX: export_colors: 1",
                               "QVX: export_uvs: 1",
                               "QVX: export_uvsets: 1",
                               "QVX: export_bones: 1",
                               "QVX: export_animation: 1",
                               "QVX: fix_flipped_faces: 1",
                               "QVX: unweld_hard_edges: 1",
                               "QVX: export_as_qvx_v2x: 0",
                               "QVX: Finished.",
                           }));
    for (const mayasim::LogLine& line : mayasim::messages()) {
        EXPECT_EQ(line.severity, mayasim::Severity::kInfo) << line.text;
    }
}

TEST_F(TranslatorRequests, WriteLogsGatheringAfterOptionsToStderr) {
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(write("export_as_qvx_v2x=1"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "QVX: =======================================\n"
              "QVX: Tavrin Pro Exporter for Maya\n"
              "QVX: =======================================\n"
              "QVX: export_lights: 1\nQVX: export_materials: 1\nQVX: export_colors: 1\nQVX: export_uvs: 1\n"
              "QVX: export_uvsets: 1\nQVX: export_bones: 1\nQVX: export_animation: 1\n"
              "QVX: fix_flipped_faces: 1\nQVX: unweld_hard_edges: 0\nQVX: export_as_qvx_v2x: 1\n"
              "QVX: Gathering scene...\n"
              "QVX: Finished.\n");
}

TEST_F(TranslatorRequests, ReadLogsBannerAndItsTwoOptions) {
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(read("import_unsampled_keys=0"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "QVX: =======================================\n"
              "QVX: Tavrin Pro Importer for Maya\n"
              "QVX: =======================================\n"
              "QVX: Preparing scene from file...\n"
              "QVX: import_unsampled_keys: 0\nQVX: import_phong_materials: 1\n"
              "QVX: Finished.\n");
    EXPECT_EQ(hostLines(), (std::vector<std::string>{
                               "QVX: =======================================",
                               "QVX: Tavrin Pro Importer for Maya",
                               "QVX: =======================================",
                               "QVX: Preparing scene from file...",
                               "QVX: import_unsampled_keys: 0",
                               "QVX: import_phong_materials: 1",
                               "QVX: Finished.",
                           }));
}

TEST_F(TranslatorRequests, ReadRemembersTheFile) {
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(read(""));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(translator.lastFile.fullName(), "/tmp/in.qvx");
    EXPECT_EQ(translator.sourcePath, "/tmp/in.qvx");
}

TEST_F(TranslatorRequests, RequestsLeaveTheSceneEmpty) {
    ::testing::internal::CaptureStderr();
    ASSERT_NE(translator.scene.bones.append(-1), nullptr);
    ASSERT_TRUE(write(""));
    EXPECT_FALSE(translator.scene.bones.present());
    ASSERT_NE(translator.scene.bones.append(-1), nullptr);
    ASSERT_TRUE(read(""));
    EXPECT_FALSE(translator.scene.bones.present());
    ::testing::internal::GetCapturedStderr();
}

}  // namespace
