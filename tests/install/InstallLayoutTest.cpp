// The Maya module as `cmake --install` laid it out: every file where the module description
// sends Maya to look for it, and the description's text.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kPrefix = QVX_INSTALL_PREFIX;

// One "+ [KEY:VALUE ...] name version path" section of a module description and the
// variable lines under it.
struct ModSection {
    std::vector<std::string> conditions;
    std::string name, version, path;
    std::vector<std::string> lines;
};

std::vector<ModSection> readModFile(const fs::path& file) {
    std::vector<ModSection> sections;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        if (line[0] == '+') {
            std::istringstream words(line.substr(1));
            std::vector<std::string> tokens;
            for (std::string word; words >> word;) {
                tokens.push_back(word);
            }
            ModSection section;
            // Conditions come first and hold a colon; name, version and path follow.
            std::size_t i = 0;
            while (i < tokens.size() && tokens[i].find(':') != std::string::npos) {
                section.conditions.push_back(tokens[i++]);
            }
            if (tokens.size() - i == 3) {
                section.name = tokens[i];
                section.version = tokens[i + 1];
                section.path = tokens[i + 2];
            }
            sections.push_back(section);
        } else if (!sections.empty()) {
            sections.back().lines.push_back(line);
        }
    }
    return sections;
}

bool hasCondition(const ModSection& section, const std::string& condition) {
    for (const std::string& c : section.conditions) {
        if (c == condition) {
            return true;
        }
    }
    return false;
}

// The folder a "VARIABLE+:=relative" line adds, resolved as Maya resolves it: against the
// module's path, itself relative to the description's folder.
fs::path folderOf(const ModSection& section, const std::string& variable) {
    const std::string prefix = variable + "+:=";
    for (const std::string& line : section.lines) {
        if (line.rfind(prefix, 0) == 0) {
            return kPrefix / section.path / line.substr(prefix.size());
        }
    }
    return {};
}

TEST(InstalledModule, HoldsExactlyTheModuleFiles) {
    std::set<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kPrefix)) {
        entries.insert(fs::relative(entry.path(), kPrefix).generic_string());
    }
    const std::set<std::string> expected = {"TavrinPro.mod",
                                            "plug-ins",
                                            std::string("plug-ins/") + QVX_PLUGIN_FILE,
                                            "scripts",
                                            "scripts/qvxTransOptions.mel",
                                            "bin",
                                            std::string("bin/") + QVX_TOOL_FILE};
    EXPECT_EQ(entries, expected);
    EXPECT_GT(fs::file_size(kPrefix / "scripts" / "qvxTransOptions.mel"), 0u);
}

// One section per platform, each adding the module's three folders; on this platform they
// lead to the plug-in, its options script (the translator names it without extension and Maya
// sources the file of that name from the script path) and the tool.
TEST(InstalledModule, DescriptionLeadsToThePluginScriptAndToolOnEveryPlatform) {
    const std::vector<ModSection> sections = readModFile(kPrefix / "TavrinPro.mod");
    ASSERT_EQ(sections.size(), 3u);
    const char* platforms[] = {"PLATFORM:linux", "PLATFORM:win64", "PLATFORM:mac"};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(platforms[i]);
        const ModSection& s = sections[i];
        EXPECT_TRUE(hasCondition(s, platforms[i]));
        EXPECT_EQ(s.name, "TavrinPro");
        EXPECT_EQ(s.version, QVX_PROJECT_VERSION);
        EXPECT_EQ(s.path, ".");
        const std::vector<std::string> lines = {"MAYA_PLUG_IN_PATH+:=plug-ins", "MAYA_SCRIPT_PATH+:=scripts",
                                                "PATH+:=bin"};
        EXPECT_EQ(s.lines, lines);
    }
    EXPECT_TRUE(fs::is_regular_file(folderOf(sections[0], "MAYA_PLUG_IN_PATH") / QVX_PLUGIN_FILE));
    EXPECT_TRUE(fs::is_regular_file(folderOf(sections[0], "MAYA_SCRIPT_PATH") / "qvxTransOptions.mel"));
    EXPECT_TRUE(fs::is_regular_file(folderOf(sections[0], "PATH") / QVX_TOOL_FILE));
}

TEST(InstalledModule, ToolRunsFromTheModuleAndNamesItsVersion) {
    const std::string command = "\"" + (kPrefix / "bin" / QVX_TOOL_FILE).string() + "\" --version";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        output += buffer;
    }
    EXPECT_EQ(pclose(pipe.release()), 0);
    EXPECT_EQ(output, std::string("qvx ") + QVX_PROJECT_VERSION + "\n");
}

}  // namespace
