#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/Options.h"

namespace {

class OptionGrammar : public ::testing::Test {
  protected:
    OptionFlags flags;
};

// The registered default string names every option, in table order (ten for the export, two for
// the import), with the value fresh flags hold.
TEST_F(OptionGrammar, DefaultOptionStringListsEveryOptionWithItsFreshValue) {
    EXPECT_EQ(defaultOptionString(),
              "export_lights=1;export_materials=1;export_colors=1;export_uvs=1;export_uvsets=1;"
              "export_bones=1;export_animation=1;fix_flipped_faces=1;unweld_hard_edges=0;"
              "export_as_qvx_v2x=0;import_unsampled_keys=1;import_phong_materials=1;");
    std::string fresh;
    for (const OptionSpec& option : kOptionTable) {
        fresh += std::string(option.name) + "=" + std::to_string(flags.*option.flag) + ";";
    }
    EXPECT_EQ(fresh, defaultOptionString());
}

TEST_F(OptionGrammar, DefaultOptionStringReproducesFreshFlagsWhenParsed) {
    OptionFlags flipped;
    for (const OptionSpec& option : kOptionTable) {
        flipped.*option.flag = option.defaultValue ? 0u : 1u;
    }
    parseOptionString(defaultOptionString(), OptionDriver::Export, flipped);
    parseOptionString(defaultOptionString(), OptionDriver::Import, flipped);
    for (const OptionSpec& option : kOptionTable) {
        EXPECT_EQ(flipped.*option.flag, flags.*option.flag) << option.name;
    }
}

// Each option string, parsed over fresh flags, changes exactly the listed flags.
TEST_F(OptionGrammar, OptionStringsChangeExactlyTheirFlags) {
    struct Case {
        const char* what;
        const char* text;
        OptionDriver driver;
        std::map<std::string, std::uint32_t> changed;  // option name -> value
    };
    const OptionDriver E = OptionDriver::Export, I = OptionDriver::Import;
    // clang-format off
    const Case cases[] = {
        {"single entry", "export_lights=0", E, {{"export_lights", 0}}},
        {"empty string", "", E, {}},
        {"no equals sign", "export_lights;export_bones", E, {}},
        {"empty value", "export_lights=;export_materials=", E,
         {{"export_lights", 0}, {"export_materials", 0}}},
        {"non-numeric value", "export_lights=abc;", E, {{"export_lights", 0}}},
        {"later entries win", "export_uvs=0;export_uvs=1;export_colors=1;export_colors=0;", E,
         {{"export_colors", 0}}},
        {"empty entries", ";;export_uvsets=0;;;export_as_qvx_v2x=1", E,
         {{"export_uvsets", 0}, {"export_as_qvx_v2x", 1}}},
        {"exact, case-sensitive names", "Export_Lights=0;export_lights =0;export_light=0;export_lightsx=0", E,
         {}},
        {"export ignores import names", "import_unsampled_keys=0;import_phong_materials=0;", E, {}},
        {"import ignores export names", "export_lights=0;unweld_hard_edges=1;import_phong_materials=0", I,
         {{"import_phong_materials", 0}}},
        {"value ends at a second equals sign", "export_lights=0=1;unweld_hard_edges=1=0", E,
         {{"export_lights", 0}, {"unweld_hard_edges", 1}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OptionFlags parsed;
        parseOptionString(c.text, c.driver, parsed);
        const OptionFlags fresh;
        for (const OptionSpec& option : kOptionTable) {
            const auto changed = c.changed.find(option.name);
            const std::uint32_t expected = changed != c.changed.end() ? changed->second : fresh.*option.flag;
            EXPECT_EQ(parsed.*option.flag, expected) << option.name;
        }
    }
    // A flag already turned off stays off when its entry has no equals sign.
    flags.export_lights = 0;
    parseOptionString("export_lights", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
}

TEST_F(OptionGrammar, PositiveValuesTurnFlagOnOthersOff) {
    for (const char* on : {"1", "2", "7", "+3", " 5", "0001", "99999999999999999999"}) {
        flags.unweld_hard_edges = 0;
        parseOptionString(std::string("unweld_hard_edges=") + on, OptionDriver::Export, flags);
        EXPECT_EQ(flags.unweld_hard_edges, 1u) << on;
    }
    for (const char* off : {"0", "-1", "-0", "000", "-99999999999999999999", "x1", "+", " "}) {
        flags.export_bones = 1;
        parseOptionString(std::string("export_bones=") + off, OptionDriver::Export, flags);
        EXPECT_EQ(flags.export_bones, 0u) << off;
    }
}

TEST_F(OptionGrammar, LogLinesFollowTableOrderPerDriver) {
    flags.export_lights = 0;
    flags.import_phong_materials = 0;
    const std::vector<std::string> exportLines = optionLogLines(OptionDriver::Export, flags);
    ASSERT_EQ(exportLines.size(), 10u);
    EXPECT_EQ(exportLines.front(), "QVX: export_lights: 0");
    EXPECT_EQ(exportLines[1], "QVX: export_materials: 1");
    EXPECT_EQ(exportLines.back(), "QVX: export_as_qvx_v2x: 0");
    EXPECT_EQ(optionLogLines(OptionDriver::Import, flags),
              (std::vector<std::string>{"QVX: import_unsampled_keys: 1", "QVX: import_phong_materials: 0"}));
}

}  // namespace
