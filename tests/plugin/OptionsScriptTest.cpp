// The options dialog script as the build generated it: checked against the option table
// (every option once, in its operation's group, with its default, label and help) and for
// the structure Maya needs to source it (balanced brackets and quotes, one global procedure
// named after the file with the four parameters of a translator options script).

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/Options.h"

namespace {

std::string readScript() {
    std::ifstream in(QVX_OPTIONS_SCRIPT, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The script with comments and the contents of string literals blanked out (the quotes
// stay), so that brackets and keywords are found only in code. Reports the first lexical
// fault it meets: a string or command quote left open, a closing bracket without its
// opener, or an opener never closed.
struct Lexed {
    std::string code;
    std::string fault;
};

Lexed lex(const std::string& text) {
    Lexed out;
    std::vector<std::pair<char, int>> open;  // bracket and its line
    int line = 1;
    bool inBackquote = false;
    const auto closes = [](char opener, char c) {
        return (opener == '(' && c == ')') || (opener == '[' && c == ']') || (opener == '{' && c == '}');
    };
    for (std::size_t i = 0; i < text.size() && out.fault.empty(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            out.code += c;
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') {
                out.code += ' ';
                ++i;
            }
            --i;
            continue;
        }
        if (c == '"') {
            out.code += '"';
            ++i;
            for (; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\n') {
                    out.fault = "string left open on line " + std::to_string(line);
                    break;
                }
                if (text[i] == '\\') {
                    out.code += ' ';
                    ++i;
                }
                out.code += ' ';
            }
            if (out.fault.empty() && i >= text.size()) {
                out.fault = "string left open at the end";
            }
            out.code += '"';
            continue;
        }
        out.code += c;
        if (c == '`') {
            inBackquote = !inBackquote;
        } else if (c == '(' || c == '[' || c == '{') {
            open.emplace_back(c, line);
        } else if (c == ')' || c == ']' || c == '}') {
            if (open.empty() || !closes(open.back().first, c)) {
                out.fault = std::string("unmatched '") + c + "' on line " + std::to_string(line);
            } else {
                open.pop_back();
            }
        }
    }
    if (out.fault.empty() && inBackquote) {
        out.fault = "command quote left open";
    }
    if (out.fault.empty() && !open.empty()) {
        out.fault = std::string("'") + open.back().first + "' on line " + std::to_string(open.back().second) +
                    " never closed";
    }
    return out;
}

std::size_t countOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

class OptionsScript : public ::testing::Test {
  protected:
    void SetUp() override {
        script = readScript();
        ASSERT_FALSE(script.empty()) << "no options script at " << QVX_OPTIONS_SCRIPT;
    }
    std::string script;
};

TEST_F(OptionsScript, LexesWithBalancedBracketsAndQuotes) {
    const Lexed lexed = lex(script);
    EXPECT_EQ(lexed.fault, "");
}

TEST_F(OptionsScript, LexerFindsTheFaultsItChecksFor) {
    EXPECT_EQ(lex("proc a() { print \"x\"; }").fault, "");
    EXPECT_EQ(lex("proc a() { print \"}\"; } // {").fault, "");
    EXPECT_NE(lex("proc a() { print \"x; }").fault, "");
    EXPECT_NE(lex("proc a() { print \"x\"; ").fault, "");
    EXPECT_NE(lex("proc a() { print (\"x\"; }").fault, "");
    EXPECT_NE(lex("int $a = `checkBox -q -v c;").fault, "");
}

TEST_F(OptionsScript, HasOneGlobalProcedureWithTheTranslatorScriptParameters) {
    const std::string code = lex(script).code;
    EXPECT_EQ(countOf(code, "global proc"), 1u);
    const std::regex signature(
        R"(global\s+proc\s+int\s+qvxTransOptions\s*\(\s*string\s+\$parent\s*,\s*string\s+\$action\s*,)"
        R"(\s*string\s+\$initialSettings\s*,\s*string\s+\$resultCallback\s*\))");
    EXPECT_TRUE(std::regex_search(code, signature));
    // Both actions are handled and the query hands its string to the callback.
    EXPECT_EQ(countOf(script, "$action == \"post\""), 1u);
    EXPECT_EQ(countOf(script, "$action == \"query\""), 1u);
    EXPECT_EQ(countOf(script, "eval($resultCallback + \" \\\"\" + $options + \"\\\"\");"), 1u);
}

TEST_F(OptionsScript, DefinesEveryHelperBeforeItsFirstCall) {
    const std::string code = lex(script).code;
    const std::regex definition(R"((^|\n)proc\s+\w+\s+(\w+)\s*\()");
    std::map<std::string, std::size_t> defined;
    for (auto it = std::sregex_iterator(code.begin(), code.end(), definition); it != std::sregex_iterator();
         ++it) {
        defined[(*it)[2]] = static_cast<std::size_t>(it->position(2));
    }
    ASSERT_FALSE(defined.empty());
    for (const auto& [name, at] : defined) {
        const std::size_t firstCall = code.find(name + "(", at + name.size());
        EXPECT_NE(firstCall, std::string::npos) << name << " is never called";
        EXPECT_EQ(code.find(name + "("), at) << name << " is called before it is defined";
    }
}

TEST_F(OptionsScript, PostShowsEveryOptionOnceInItsGroupWithItsDefault) {
    const std::size_t exportFrame = script.find("qvxExportFrame");
    const std::size_t importFrame = script.find("qvxImportFrame");
    ASSERT_NE(exportFrame, std::string::npos);
    ASSERT_NE(importFrame, std::string::npos);
    ASSERT_LT(exportFrame, importFrame);
    std::size_t checkBoxes = 0;
    for (const OptionSpec& option : kOptionTable) {
        SCOPED_TRACE(option.name);
        const std::string control = std::string("qvxOpt_") + option.name + ";";
        ASSERT_EQ(countOf(script, control), 1u);
        const std::size_t at = script.find(control);
        const std::size_t lineStart = script.rfind('\n', at) + 1;
        const std::string line = script.substr(lineStart, at - lineStart);
        EXPECT_NE(line.find(std::string("checkBox -label \"") + option.label + "\""), std::string::npos)
            << line;
        EXPECT_NE(line.find(std::string("-annotation \"") + option.help + "\""), std::string::npos) << line;
        EXPECT_NE(line.find(std::string("qvxOptionValue($initialSettings, \"") + option.name + "\", " +
                            (option.defaultValue ? "1" : "0") + ")"),
                  std::string::npos)
            << line;
        if (option.driver == OptionDriver::Export) {
            EXPECT_TRUE(at > exportFrame && at < importFrame);
        } else {
            EXPECT_GT(at, importFrame);
        }
        ++checkBoxes;
    }
    EXPECT_EQ(countOf(script, "checkBox -label"), checkBoxes);
}

TEST_F(OptionsScript, QueryOfTheDefaultsBuildsTheRegisteredDefaultString) {
    // Each query line appends "name=" + the option's value + ";"; with every checkbox at its
    // default the values are the defaults the lines carry.
    const std::regex queryLine(
        R"re(\$options \+= "(\w+)=" \+ qvxQueryOption\("qvxOpt_(\w+)", \$initialSettings, "(\w+)", ([01])\) \+ ";";)re");
    std::string built;
    std::size_t lines = 0;
    for (auto it = std::sregex_iterator(script.begin(), script.end(), queryLine);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        EXPECT_EQ(m[1], m[2]);
        EXPECT_EQ(m[1], m[3]);
        built += m[1].str() + "=" + m[4].str() + ";";
        ++lines;
    }
    EXPECT_EQ(lines, std::size(kOptionTable));
    EXPECT_EQ(built, defaultOptionString());
}

TEST(OptionTableText, LabelsAndHelpFitInAScriptString) {
    for (const OptionSpec& option : kOptionTable) {
        for (const std::string text : {option.label, option.help}) {
            EXPECT_FALSE(text.empty()) << option.name;
            EXPECT_EQ(text.find_first_of("\"\\\n`"), std::string::npos) << option.name << ": " << text;
        }
    }
}

}  // namespace
