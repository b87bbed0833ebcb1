#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <string>
#include <vector>

#include "plugin/QVXTranslator.h"

namespace {

// The file name decides first (".qvx" in any case, at the end of a name of four characters or
// more), then the first four bytes: the magic makes it certain, anything else leaves it possible.
TEST(TranslatorIdentification, NameThenMagicDecide) {
    struct Case {
        const char* path;
        const char* buffer;
        short size;
        MPxFileTranslator::MFileKind kind;
    };
    const Case cases[] = {
        {"scene.QVX", "QVXH", 4, MPxFileTranslator::kIsMyFileType},
        {"/projects/a/scene.qvx", "QVXH\x1f\0\0\0", 8, MPxFileTranslator::kIsMyFileType},
        {".qvx", "QVXH", 4, MPxFileTranslator::kIsMyFileType},
        {"scene.qvx", "QVXh", 4, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.qvx", "ABCDEFGH", 8, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.qvx", nullptr, 0, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.qvx", nullptr, 64, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.qvx", "QVX", 3, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.qvx", "QVXH", -1, MPxFileTranslator::kCouldBeMyFileType},
        {"scene.obj", "QVXH", 4, MPxFileTranslator::kNotMyFileType},
        {"scene.qvx.bak", "QVXH", 4, MPxFileTranslator::kNotMyFileType},
        {"sceneqvx", "QVXH", 4, MPxFileTranslator::kNotMyFileType},
        {"qvx", "QVXH", 4, MPxFileTranslator::kNotMyFileType},
        {"/dir.qvx/a", "QVXH", 4, MPxFileTranslator::kNotMyFileType},
    };
    const QVXTranslator translator;
    for (const Case& c : cases) {
        MFileObject file;
        file.setFullName(MString(c.path));
        EXPECT_EQ(translator.identifyFile(file, c.buffer, c.size), c.kind) << c.path << " " << c.size;
    }
    EXPECT_EQ(translator.identifyFile(MFileObject(), "QVXH", 4), MPxFileTranslator::kNotMyFileType);
}

class TranslatorAnswers : public ::testing::Test {
  protected:
    QVXTranslator translator;
};

TEST_F(TranslatorAnswers, ReadsAndWritesQvxFilesAndKeepsTheHostDefaultsOtherwise) {
    EXPECT_TRUE(translator.haveReadMethod());
    EXPECT_TRUE(translator.haveWriteMethod());
    EXPECT_EQ(translator.defaultExtension(), "qvx");
    EXPECT_EQ(translator.filter(), "*.qvx");
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

}  // namespace
