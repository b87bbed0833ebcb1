// The "file" command as scripts and batch jobs run it through MGlobal::executeCommand: the options
// text reaches the translator unchanged, with the access mode of the operation.
#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "SceneFixture.h"

namespace {

// The recording test translator logs "read|write <file> [<options>] <mode> <fileAccessMode()>".
class FileCommand : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
        dir = std::filesystem::temp_directory_path() / ("mayasim_filecmd_" + std::to_string(::getpid()));
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
    static MStatus run(const std::string& command) {
        MStringArray result;
        return MGlobal::executeCommand(MString(command.c_str()), result, false, false);
    }
    std::filesystem::path dir;
    std::string recFile;
};

TEST_F(FileCommand, ImportMergesWithTheGivenOptions) {
    dagNode("transform", "kept");
    ASSERT_TRUE(run("file -import -type \"Recording\" -options \"x=1;y=0;\" \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [x=1;y=0;] 3 3");
    EXPECT_EQ(fullPath(MFnDagNode().create("transform", "probe")), "|probe");
    ASSERT_TRUE(run("file -i -typ \"Recording\" -op \"z=1;\" \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [z=1;] 3 3");
}

TEST_F(FileCommand, OpenStartsANewScene) {
    MObject old = dagNode("transform", "gone");
    ASSERT_TRUE(run("file -f -options \"q=2;\" -o \"" + recFile + "\""));
    EXPECT_EQ(lastLine(), "read " + recFile + " [q=2;] 1 1");
    MStatus status;
    MFnDagNode fn(old, &status);
    EXPECT_FALSE(status);
    EXPECT_EQ(MFileIO::currentFile(), recFile.c_str());
}

TEST_F(FileCommand, ExportsPassTheirModes) {
    const std::string out = (dir / "out.rec").string();
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand(
        MString(("file -force -type \"Recording\" -options \"e=1;\" -exportAll \"" + out + "\"").c_str()),
        result, false, false));
    EXPECT_EQ(lastLine(), "write " + out + " [e=1;] 5 5");
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(std::string(result[0].asChar()), out);
    ASSERT_TRUE(run("file -f -typ \"Recording\" -op \"\" -es \"" + out + "\""));
    EXPECT_EQ(lastLine(), "write " + out + " [] 6 6");
}

TEST_F(FileCommand, WithoutOptionsTheTranslatorDefaultIsPassed) {
    const std::string out = (dir / "out.rec").string();
    ASSERT_TRUE(run("file -type \"Recording\" -ea \"" + out + "\""));
    EXPECT_EQ(lastLine(), "write " + out + " [a=1;b=2;] 5 5");
    ASSERT_TRUE(run("file -i \"" + recFile + "\""));  // identified by its contents
    EXPECT_EQ(lastLine(), "read " + recFile + " [a=1;b=2;] 3 3");
}

TEST_F(FileCommand, RefusesMissingActionsPathsAndUnknownFlags) {
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

}  // namespace
