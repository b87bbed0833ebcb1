#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MLibrary.h>
#include <maya/MStringArray.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "SceneFixture.h"

namespace {

// Runs the recording test translator through MFileIO; the translator logs
// "read|write <file> [<options>] <mode> <fileAccessMode()>".
class FileIO : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
        dir = std::filesystem::temp_directory_path() / ("mayasim_fileio_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        recFile = (dir / "scene.rec").string();
        std::ofstream(recFile, std::ios::binary) << "REC data";
        mayasim::clearMessages();
    }
    void TearDown() override {
        mayasim::unloadPlugin(MAYASIM_TEST_PLUGIN);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        SceneTest::TearDown();
    }
    static std::string lastLine() {
        auto lines = mayasim::messages();
        return lines.empty() ? std::string() : lines.back().text;
    }
    std::filesystem::path dir;
    std::string recFile;
};

TEST_F(FileIO, OpenCallsReaderWithOpenModeAndDefaultOptions) {
    ASSERT_TRUE(MFileIO::open(recFile.c_str(), "Recording", true));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 1 1");
    EXPECT_EQ(MFileIO::currentFile(), recFile.c_str());
    EXPECT_EQ(MPxFileTranslator::fileAccessMode(), MPxFileTranslator::kUnknownAccessMode);
}

TEST_F(FileIO, ImportKeepsTheSceneAndUsesImportMode) {
    dagNode("transform", "kept");
    ASSERT_TRUE(MFileIO::importFile(recFile.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 3 3");
    EXPECT_EQ(fullPath(MFnDagNode().create("transform", "probe")), "|probe");
}

TEST_F(FileIO, OpenStartsANewScene) {
    MObject old = dagNode("transform", "gone");
    ASSERT_TRUE(MFileIO::open(recFile.c_str(), "Recording", true));
    MStatus status;
    MFnDagNode fn(old, &status);
    EXPECT_FALSE(status);
}

TEST_F(FileIO, WritersGetSaveExportAndExportActiveModes) {
    std::string out = (dir / "out.rec").string();
    ASSERT_TRUE(MFileIO::saveAs(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 4 4");
    ASSERT_TRUE(MFileIO::exportAll(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 5 5");
    ASSERT_TRUE(MFileIO::exportSelected(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 6 6");
}

TEST_F(FileIO, IdentifiesTheTranslatorWhenNoTypeIsGiven) {
    ASSERT_TRUE(MFileIO::importFile(recFile.c_str()));
    EXPECT_EQ(lastLine().substr(0, 5), "read ");
}

TEST_F(FileIO, UnknownTypeAndMissingFileFail) {
    EXPECT_FALSE(MFileIO::importFile(recFile.c_str(), "NoSuchTranslator"));
    EXPECT_FALSE(MFileIO::importFile((dir / "missing.rec").string().c_str(), "Recording"));
    std::string other = (dir / "scene.txt").string();
    std::ofstream(other) << "text";
    EXPECT_FALSE(MFileIO::importFile(other.c_str()));
}

TEST_F(FileIO, TranslatorObjectIsKeptBetweenRequests) {
    MPxFileTranslator* before = mayasim::hostTranslator("Recording");
    ASSERT_TRUE(MFileIO::importFile(recFile.c_str(), "Recording"));
    EXPECT_EQ(mayasim::hostTranslator("Recording"), before);
}

using Commands = SceneTest;

TEST_F(Commands, LoadPluginCommandLoadsAndNamesThePlugin) {
    MStringArray result;
    ASSERT_TRUE(
        MGlobal::executeCommand(MString("loadPlugin \"") + MAYASIM_TEST_PLUGIN + "\"", result, false, false));
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(result[0], "libmayasim_test_plugin");
    EXPECT_TRUE(mayasim::isPluginLoaded("libmayasim_test_plugin"));
    ASSERT_TRUE(MGlobal::executeCommand("unloadPlugin \"libmayasim_test_plugin\""));
    EXPECT_FALSE(mayasim::isPluginLoaded("libmayasim_test_plugin"));
}

TEST_F(Commands, UnknownCommandFailsWithAnError) {
    MStringArray result;
    EXPECT_FALSE(MGlobal::executeCommand("noSuchCommand -flag 1", result));
    auto lines = mayasim::messages();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().severity, mayasim::Severity::kError);
    EXPECT_EQ(lines.back().text, "line 1: Cannot find procedure \"noSuchCommand\".");
}

TEST_F(Commands, DisplayEnabledEchoesTheCommand) {
    MGlobal::executeCommand("noSuchCommand", true, false);
    auto lines = mayasim::messages();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "noSuchCommand");
}

}  // namespace
