// Files opened, imported and written through MFileIO and through the "file" command as scripts
// and batch jobs run it (MGlobal::executeCommand): the options text reaches the translator
// unchanged, with the access mode of the operation.
#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MLibrary.h>
#include <maya/MStringArray.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "SceneFixture.h"

namespace {

// Runs the recording test translator; it logs
// "read|write <file> [<options>] <mode> <fileAccessMode()>".
class FileIO : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
        dir = std::filesystem::temp_directory_path() / ("mayasim_fileio_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        recFile = (dir / "scene.rec").string();
        out = (dir / "out.rec").string();
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
    static MStatus run(const std::string& command) {
        MStringArray result;
        return MGlobal::executeCommand(MString(command.c_str()), result, false, false);
    }
    std::filesystem::path dir;
    std::string recFile, out;
};

TEST_F(FileIO, OpenStartsANewSceneAndCallsTheReaderInOpenMode) {
    MObject old = dagNode("transform", "gone");
    ASSERT_TRUE(MFileIO::open(recFile.c_str(), "Recording", true));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 1 1");
    EXPECT_EQ(MFileIO::currentFile(), recFile.c_str());
    EXPECT_EQ(MPxFileTranslator::fileAccessMode(), MPxFileTranslator::kUnknownAccessMode);
    MStatus status;
    MFnDagNode fn(old, &status);
    EXPECT_FALSE(status);
    // The same through the command, with options.
    old = dagNode("transform", "gone");
    ASSERT_TRUE(run("file -f -options \"q=2;\" -o \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [q=2;] 1 1");
    MFnDagNode again(old, &status);
    EXPECT_FALSE(status);
}

TEST_F(FileIO, ImportKeepsTheSceneAndUsesImportMode) {
    dagNode("transform", "kept");
    MPxFileTranslator* before = mayasim::hostTranslator("Recording");
    ASSERT_TRUE(MFileIO::importFile(recFile.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 3 3");
    EXPECT_EQ(mayasim::hostTranslator("Recording"), before) << "the translator object is kept";
    ASSERT_TRUE(run("file -import -type \"Recording\" -options \"x=1;y=0;\" \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [x=1;y=0;] 3 3");
    ASSERT_TRUE(run("file -i -typ \"Recording\" -op \"z=1;\" \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [z=1;] 3 3");
    EXPECT_EQ(fullPath(MFnDagNode().create("transform", "probe")), "|probe");
}

TEST_F(FileIO, WritersGetSaveExportAndExportActiveModes) {
    ASSERT_TRUE(MFileIO::saveAs(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 4 4");
    ASSERT_TRUE(MFileIO::exportAll(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 5 5");
    ASSERT_TRUE(MFileIO::exportSelected(out.c_str(), "Recording"));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 6 6");
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand(
        MString(("file -force -type \"Recording\" -options \"e=1;\" -exportAll \"" + out + "\"").c_str()),
        result, false, false));
    EXPECT_EQ(lastLine(), "write " + out + " [e=1;] 5 5");
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(std::string(result[0].asChar()), out);
    ASSERT_TRUE(run("file -f -typ \"Recording\" -op \"\" -es \"" + out + "\""));
    EXPECT_EQ(lastLine(), "write " + out + " [] 6 6");
    ASSERT_TRUE(run("file -type \"Recording\" -ea \"" + out + "\""));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 5 5") << "the translator's default options";
}

TEST_F(FileIO, IdentifiesTheTranslatorWhenNoTypeIsGiven) {
    ASSERT_TRUE(MFileIO::importFile(recFile.c_str()));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 3 3");
    ASSERT_TRUE(run("file -i \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 3 3");
}

TEST_F(FileIO, UnknownTypesMissingFilesAndMalformedCommandsFail) {
    EXPECT_FALSE(MFileIO::importFile(recFile.c_str(), "NoSuchTranslator"));
    EXPECT_FALSE(MFileIO::importFile((dir / "missing.rec").string().c_str(), "Recording"));
    std::string other = (dir / "scene.txt").string();
    std::ofstream(other) << "text";
    EXPECT_FALSE(MFileIO::importFile(other.c_str()));
    EXPECT_FALSE(run("file -type \"Recording\" \"" + recFile + "\""));
    EXPECT_FALSE(run("file -i"));
    EXPECT_FALSE(run("file -i -o \"" + recFile + "\""));
    EXPECT_FALSE(run("file -bogus -i \"" + recFile + "\""));
    EXPECT_FALSE(run("file -i -options"));
    EXPECT_FALSE(run("file -i -type \"NoSuchType\" \"" + recFile + "\""));
    EXPECT_FALSE(run("file -o \"" + (dir / "missing.rec").string() + "\""));
    bool reported = false;
    for (const auto& line : mayasim::messages())
        reported = reported || (line.severity == mayasim::Severity::kError &&
                                line.text.find("Invalid flag '-bogus'") != std::string::npos);
    EXPECT_TRUE(reported);
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

TEST_F(Commands, UnknownCommandFailsWithAnErrorAndEchoesWhenAsked) {
    MStringArray result;
    EXPECT_FALSE(MGlobal::executeCommand("noSuchCommand -flag 1", result));
    auto lines = mayasim::messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.back().severity, mayasim::Severity::kError);
    EXPECT_EQ(lines.back().text, "line 1: Cannot find procedure \"noSuchCommand\".");
    mayasim::clearMessages();
    MGlobal::executeCommand("noSuchCommand", true, false);
    lines = mayasim::messages();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "noSuchCommand");
}

}  // namespace
