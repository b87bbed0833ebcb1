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

}  // namespace
