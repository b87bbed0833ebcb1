// Loading from disk: open and read failures, reasons, the post-load preparation switch,
// and the scene folder used for textures and embedded files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "format/ByteBuilder.h"
#include "format/FileSystem.h"
#include "format/Loader.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleFiles.h"

namespace {

class Loader : public ::testing::Test {
  protected:
    int load(const std::string& name, LoadOptions options = LoadOptions()) {
        return loadSceneFile(folder.file(name), scene, options, &report);
    }
    ScratchFolder folder;
    Scene scene;
    LoadReport report;
};

TEST_F(Loader, ReportsCannotOpenForAMissingFileOrAFolder) {
    EXPECT_EQ(load("absent.qvx"), QVX_RESULT_CANNOT_OPEN);
    EXPECT_NE(report.reason.find("cannot open"), std::string::npos);
    std::filesystem::create_directory(folder.file("dir.qvx"));
    EXPECT_EQ(load("dir.qvx"), QVX_RESULT_CANNOT_OPEN);
}

TEST_F(Loader, RefusesAFifoOrADeviceAtOnce) {
    // Nobody writes this FIFO: opening it for reading in the ordinary way would wait forever.
    ASSERT_EQ(mkfifo(folder.file("pipe.qvx").c_str(), 0600), 0);
    EXPECT_EQ(load("pipe.qvx"), QVX_RESULT_CANNOT_OPEN);
    EXPECT_NE(report.reason.find("not a regular file"), std::string::npos) << report.reason;
    EXPECT_EQ(loadSceneFile("/dev/zero", scene, LoadOptions(), &report), QVX_RESULT_CANNOT_OPEN);
    EXPECT_NE(report.reason.find("not a regular file"), std::string::npos) << report.reason;
}

TEST_F(Loader, FailsOnAnEmptyFile) {
    folder.write("empty.qvx", {});
    EXPECT_EQ(load("empty.qvx"), QVX_RESULT_FAILED);
    EXPECT_NE(report.reason.find("header at byte 0"), std::string::npos);
}

TEST_F(Loader, LoadsACompressedFileAndRunsThePreparation) {
    folder.write("scene.qvx", wrapSectioned(samples::sectioned(31), 128));
    ASSERT_EQ(load("scene.qvx"), QVX_RESULT_OK) << report.reason;
    EXPECT_TRUE(report.reason.empty());
    EXPECT_TRUE(report.parse.compressed);
    EXPECT_EQ(report.parse.outer.version(), 8u);
    EXPECT_EQ(report.parse.inner.version(), 31u);
    EXPECT_GT(scene.vertices.count(), 0);
    // Use counts are derived by the preparation, not stored in the file.
    EXPECT_GT(scene.materials[0].useCount, 0u);
}

TEST_F(Loader, SkipsThePreparationOnRequestAndRebasesTexturePathsOntoTheFilesFolder) {
    folder.write("scene.qvx", samples::sectioned(31));
    LoadOptions raw;
    raw.prepare = false;
    ASSERT_EQ(load("scene.qvx", raw), QVX_RESULT_OK) << report.reason;
    EXPECT_EQ(scene.materials[0].useCount, 0u);
    EXPECT_EQ(std::string(scene.materials[0].findLayer(0)->path.narrow), folder.file("wood.png"));
}

TEST_F(Loader, ExtractsEmbeddedFilesBesideTheSceneFileUnlessAskedNotTo) {
    folder.write("scene.qvx", samples::chunked(0x0A, {{"C:\\art\\tex.png", {5, 6}}}));
    LoadOptions options;
    options.extractEmbeddedFiles = false;
    ASSERT_EQ(load("scene.qvx", options), QVX_RESULT_OK);
    EXPECT_FALSE(folder.exists("tex.png"));
    ASSERT_EQ(load("scene.qvx"), QVX_RESULT_OK) << report.reason;
    EXPECT_EQ(folder.read("tex.png"), (std::vector<unsigned char>{5, 6}));
}

TEST_F(Loader, ExtractsEmbeddedFilesIntoTheFolderItIsGiven) {
    folder.write("scene.qvx", samples::chunked(0x0A, {{"tex.png", {5, 6}}}));
    std::filesystem::create_directory(folder.file("out"));
    LoadOptions options;
    options.embeddedFilesFolder = folder.file("out") + "/";
    ASSERT_EQ(load("scene.qvx", options), QVX_RESULT_OK) << report.reason;
    EXPECT_FALSE(folder.exists("tex.png"));
    EXPECT_EQ(folder.read("out/tex.png"), (std::vector<unsigned char>{5, 6}));
}

TEST_F(Loader, ClearsAPreviouslyLoadedSceneWhenALoadFails) {
    folder.write("good.qvx", samples::sectioned(31));
    ASSERT_EQ(load("good.qvx"), QVX_RESULT_OK);
    auto bad = samples::sectioned(31);
    bad[0] = 'q';
    folder.write("bad.qvx", bad);
    EXPECT_EQ(load("bad.qvx"), QVX_RESULT_NOT_QVX);
    EXPECT_TRUE(scene.vertices.absent());
    EXPECT_EQ(report.reason, "header at byte 0: expected the magic \"QVXH\"");
}

TEST_F(Loader, NamesTheInnerFileInTheReasonOfACompressedFile) {
    auto inner = samples::sectioned(31);
    ByteBuilder cut;
    cut.raw(inner.data(), 400);
    cut.patchU32(12, 400);
    folder.write("cut.qvx", wrapSectioned(cut.bytes(), 128));
    EXPECT_EQ(load("cut.qvx"), QVX_RESULT_FAILED);
    EXPECT_NE(report.reason.find("of the inflated file"), std::string::npos);
}

// The platform layer.

TEST(FileSystem, SplitsStoredPathsOnBothSeparators) {
    EXPECT_EQ(qvxfs::lastComponent("C:\\maps\\wood.png"), "wood.png");
    EXPECT_EQ(qvxfs::lastComponent("maps/sub\\grain.png"), "grain.png");
    EXPECT_EQ(qvxfs::lastComponent("plain.png"), "plain.png");
    EXPECT_EQ(qvxfs::lastComponent("C:wood.png"), "wood.png");
    EXPECT_EQ(qvxfs::lastComponent("maps/"), "");
}

TEST(FileSystem, AcceptsOnlyPlainFileNames) {
    EXPECT_TRUE(qvxfs::isPlainFileName("a.png"));
    EXPECT_FALSE(qvxfs::isPlainFileName(""));
    EXPECT_FALSE(qvxfs::isPlainFileName("."));
    EXPECT_FALSE(qvxfs::isPlainFileName(".."));
    EXPECT_FALSE(qvxfs::isPlainFileName("a/b"));
    EXPECT_FALSE(qvxfs::isPlainFileName("a\\b"));
    EXPECT_FALSE(qvxfs::isPlainFileName("c:x"));
}

TEST(FileSystem, GivesTheFolderOfAPathWithItsSeparator) {
    EXPECT_EQ(qvxfs::folderOf("/a/b/scene.qvx"), "/a/b/");
    EXPECT_EQ(qvxfs::folderOf("scene.qvx"), "");
    EXPECT_EQ(qvxfs::joinFolder("/a/b/", "x.png"), "/a/b/x.png");
    EXPECT_EQ(qvxfs::joinFolder("/a/b", "x.png"), "/a/b/x.png");
    EXPECT_EQ(qvxfs::joinFolder("", "x.png"), "x.png");
}

TEST(FileSystem, CreatesFilesExclusively) {
    ScratchFolder folder;
    const std::string path = folder.file("new.bin");
    const unsigned char first[] = {1, 2};
    const unsigned char second[] = {3};
    EXPECT_EQ(qvxfs::createNewFile(path, first, 2), qvxfs::CreateFileResult::Created);
    EXPECT_EQ(qvxfs::createNewFile(path, second, 1), qvxfs::CreateFileResult::AlreadyExists);
    EXPECT_EQ(folder.read("new.bin"), (std::vector<unsigned char>{1, 2}));
}

TEST(FileSystem, DoesNotFollowASymbolicLinkWhenCreating) {
    ScratchFolder folder;
    folder.write("target.bin", {7});
    ASSERT_EQ(symlink(folder.file("target.bin").c_str(), folder.file("link.bin").c_str()), 0);
    const unsigned char data[] = {1};
    EXPECT_NE(qvxfs::createNewFile(folder.file("link.bin"), data, 1), qvxfs::CreateFileResult::Created);
    EXPECT_EQ(folder.read("target.bin"), (std::vector<unsigned char>{7}));
}

TEST(FileSystem, TestsRelativePathsAgainstTheGivenFolder) {
    ScratchFolder folder;
    folder.write("here.png", {1});
    EXPECT_TRUE(qvxfs::fileExists("here.png", folder.folder()));
    EXPECT_FALSE(qvxfs::fileExists("here.png", "/nonexistent-folder/"));
    EXPECT_TRUE(qvxfs::fileExists(folder.file("here.png"), "/nonexistent-folder/"));
    EXPECT_FALSE(qvxfs::fileExists(folder.path(), ""));  // a folder is not a file
}

}  // namespace
