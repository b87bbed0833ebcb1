// The qvx program as a pipeline script runs it: exit codes, batch behaviour (every file
// reported, failures do not stop the run), `diff`, the JSON documents parsed back, and
// `--version`. The input files are written here with the project's writer.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "format/ExportFile.h"
#include "format/SampleScene.h"
#include "scene/Scene.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ToolCommands : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = fs::temp_directory_path() / ("qvx_tool_tests_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        Scene scene;
        samples::fillScene(scene);
        write(scene, "a.qvx");
        write(scene, "same.qvx");
        scene.bones[1].name.set("Chest");
        write(scene, "renamed.qvx");
        std::ofstream(folder / "broken.qvx", std::ios::binary) << "QVXH but nothing more";
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }

    static void write(const Scene& scene, const std::string& name) {
        WriteOptions options;
        options.dateText = "Sun Dec  6 12:00:00 2026";
        const ExportResult result = exportSceneFile(scene, options, (folder / name).string());
        ASSERT_TRUE(result.written) << result.error;
    }

    static std::string file(const std::string& name) { return (folder / name).string(); }

    // Runs qvx with the arguments (each a file name in the work folder or a flag).
    static ToolRun qvx(const std::vector<std::string>& args) {
        std::string command = std::string("\"") + QVX_TOOL + "\"";
        for (const std::string& a : args) {
            command += " \"" + a + "\"";
        }
        const fs::path out = folder / "stdout.txt";
        const fs::path err = folder / "stderr.txt";
        command += " > \"" + out.string() + "\" 2> \"" + err.string() + "\"";
        ToolRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = readFile(out);
        run.err = readFile(err);
        return run;
    }

    static inline fs::path folder;
};

TEST_F(ToolCommands, VersionNamesTheRelease) {
    const ToolRun run = qvx({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("qvx ") + QVX_PROJECT_VERSION + "\n");
}

TEST_F(ToolCommands, DiffOfEqualScenesExitsZero) {
    const ToolRun run = qvx({"diff", file("a.qvx"), file("same.qvx")});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, file("same.qvx") + ": same scene as " + file("a.qvx") + "\n");
}

TEST_F(ToolCommands, DiffNamesTheFirstDifferenceByRecordPathAndExitsOne) {
    const ToolRun run = qvx({"diff", file("a.qvx"), file("renamed.qvx")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(file("renamed.qvx") + ": 1 difference from " + file("a.qvx")), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  bones[1].name: \"Spine\" -> \"Chest\""), std::string::npos) << run.out;
}

TEST_F(ToolCommands, FileEqualsItsOwnConvertOutput) {
    ASSERT_EQ(qvx({"convert", file("a.qvx"), file("converted.qvx")}).status, 0);
    const ToolRun run = qvx({"diff", file("a.qvx"), file("converted.qvx")});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const ToolRun raw = qvx({"diff", "--raw", file("a.qvx"), file("converted.qvx")});
    EXPECT_EQ(raw.status, 0) << raw.out << raw.err;
}

TEST_F(ToolCommands, DiffGoesThroughEveryFileAndReportsEach) {
    const ToolRun run =
        qvx({"diff", file("a.qvx"), file("missing.qvx"), file("same.qvx"), file("renamed.qvx")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(file("missing.qvx") + ": QVX_RESULT_CANNOT_OPEN"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(file("same.qvx") + ": same scene"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(file("renamed.qvx") + ": 1 difference"), std::string::npos) << run.out;
}

TEST_F(ToolCommands, CheckJsonIsOneDocumentWithAnEntryPerFile) {
    const ToolRun run = qvx({"check", "--json", file("a.qvx"), file("missing.qvx"), file("broken.qvx")});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    const nlohmann::json& files = doc.at("files");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].at("path"), file("a.qvx"));
    EXPECT_EQ(files[0].at("ok"), true);
    EXPECT_FALSE(files[0].contains("reason"));
    EXPECT_EQ(files[1].at("ok"), false);
    EXPECT_EQ(files[1].at("result"), "QVX_RESULT_CANNOT_OPEN");
    EXPECT_EQ(files[1].at("code"), -8);
    EXPECT_EQ(files[2].at("ok"), false);
    EXPECT_FALSE(files[2].at("reason").get<std::string>().empty());
}

TEST_F(ToolCommands, InfoJsonDescribesTheScene) {
    const ToolRun run = qvx({"info", "--json", file("a.qvx")});
    EXPECT_EQ(run.status, 0) << run.err;
    const nlohmann::json entry = nlohmann::json::parse(run.out).at("files").at(0);
    EXPECT_EQ(entry.at("ok"), true);
    EXPECT_EQ(entry.at("file").at("compressed"), true);
    EXPECT_EQ(entry.at("file").at("innerHeader").at("magic"), "QVXH");
    EXPECT_EQ(entry.at("file").at("innerHeader").at("version"), 31);
    EXPECT_EQ(entry.at("counts").at("bones"), 3);
    const nlohmann::json& bones = entry.at("bones");
    ASSERT_EQ(bones.size(), 3u);
    EXPECT_EQ(bones[1].at("name"), "Spine");
    EXPECT_EQ(bones[1].at("parent"), 0);
    EXPECT_EQ(entry.at("lights").at(0).at("name"), "Sun");
    EXPECT_EQ(entry.at("animations").at(0).at("name"), "Take");
    EXPECT_FALSE(entry.at("materials").at(0).at("textures").empty());
}

TEST_F(ToolCommands, InfoJsonOfAFailedFileStillParses) {
    const ToolRun run = qvx({"info", "--json", file("broken.qvx"), file("a.qvx")});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json files = nlohmann::json::parse(run.out).at("files");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].at("ok"), false);
    EXPECT_FALSE(files[0].contains("counts"));
    EXPECT_EQ(files[1].at("ok"), true);
}

TEST_F(ToolCommands, ConvertOfManyFilesFillsTheFolderAndKeepsGoing) {
    const fs::path out = folder / "converted";
    fs::create_directories(out);
    const ToolRun run =
        qvx({"convert", file("a.qvx"), file("broken.qvx"), file("renamed.qvx"), out.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(file("broken.qvx")), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_regular_file(out / "a.qvx"));
    EXPECT_TRUE(fs::is_regular_file(out / "renamed.qvx"));
    EXPECT_FALSE(fs::exists(out / "broken.qvx"));
    const ToolRun same = qvx({"diff", file("renamed.qvx"), (out / "renamed.qvx").string()});
    EXPECT_EQ(same.status, 0) << same.out << same.err;
}

TEST_F(ToolCommands, DumpOfManyFilesPrintsOneDocumentEach) {
    const ToolRun run = qvx({"dump", file("a.qvx"), file("missing.qvx"), file("renamed.qvx")});
    EXPECT_EQ(run.status, 1);
    std::istringstream in(run.out);
    std::vector<nlohmann::json> docs;
    while ((in >> std::ws).peek() != EOF) {
        nlohmann::json doc;
        in >> doc;
        docs.push_back(doc);
    }
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0].at("bones").at(1).at("name"), "Spine");
    EXPECT_EQ(docs[1].at("bones").at(1).at("name"), "Chest");
}

TEST_F(ToolCommands, UsageErrorsExitTwo) {
    EXPECT_EQ(qvx({"diff", file("a.qvx")}).status, 2);
    EXPECT_EQ(qvx({"dump", file("a.qvx"), file("same.qvx"), "--output", file("x.json")}).status, 2);
    EXPECT_EQ(qvx({"convert", file("a.qvx"), file("same.qvx"), file("a.qvx")}).status, 2);
}

}  // namespace
