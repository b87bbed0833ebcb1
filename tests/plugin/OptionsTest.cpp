#include <gtest/gtest.h>

#include <string>

#include "plugin/Options.h"

namespace {

class OptionGrammar : public ::testing::Test {
  protected:
    OptionFlags flags;
};

TEST_F(OptionGrammar, FreshFlagsHoldTheTableDefaults) {
    EXPECT_EQ(flags.export_lights, 1u);
    EXPECT_EQ(flags.export_materials, 1u);
    EXPECT_EQ(flags.export_colors, 1u);
    EXPECT_EQ(flags.export_uvs, 1u);
    EXPECT_EQ(flags.export_uvsets, 1u);
    EXPECT_EQ(flags.export_bones, 1u);
    EXPECT_EQ(flags.export_animation, 1u);
    EXPECT_EQ(flags.fix_flipped_faces, 1u);
    EXPECT_EQ(flags.unweld_hard_edges, 0u);
    EXPECT_EQ(flags.export_as_qvx_v2x, 0u);
    EXPECT_EQ(flags.import_unsampled_keys, 1u);
    EXPECT_EQ(flags.import_phong_materials, 1u);
}

TEST_F(OptionGrammar, DefaultOptionStringListsEveryOptionWithItsDefault) {
    EXPECT_EQ(defaultOptionString(),
              "export_lights=1;export_materials=1;export_colors=1;export_uvs=1;export_uvsets=1;"
              "export_bones=1;export_animation=1;fix_flipped_faces=1;unweld_hard_edges=0;"
              "export_as_qvx_v2x=0;import_unsampled_keys=1;import_phong_materials=1;");
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

TEST_F(OptionGrammar, TableHasTenExportAndTwoImportOptions) {
    int exportCount = 0;
    int importCount = 0;
    for (const OptionSpec& option : kOptionTable) {
        (option.driver == OptionDriver::Export ? exportCount : importCount) += 1;
    }
    EXPECT_EQ(exportCount, 10);
    EXPECT_EQ(importCount, 2);
}

TEST_F(OptionGrammar, SingleEntryChangesOnlyItsFlag) {
    parseOptionString("export_lights=0", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
    OptionFlags defaults;
    for (const OptionSpec& option : kOptionTable) {
        if (option.flag != &OptionFlags::export_lights) {
            EXPECT_EQ(flags.*option.flag, defaults.*option.flag) << option.name;
        }
    }
}

TEST_F(OptionGrammar, EmptyStringKeepsEveryFlag) {
    parseOptionString("export_lights=0;unweld_hard_edges=1;", OptionDriver::Export, flags);
    parseOptionString("", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
    EXPECT_EQ(flags.unweld_hard_edges, 1u);
}

TEST_F(OptionGrammar, EntryWithoutEqualsSignIsIgnored) {
    flags.export_lights = 1;
    parseOptionString("export_lights;", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 1u);
    flags.export_lights = 0;
    parseOptionString("export_lights", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
}

TEST_F(OptionGrammar, EmptyValueTurnsFlagOff) {
    parseOptionString("export_lights=;", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
    parseOptionString("export_materials=", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_materials, 0u);
}

TEST_F(OptionGrammar, NonNumericValueTurnsFlagOff) {
    parseOptionString("export_lights=abc;", OptionDriver::Export, flags);
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

TEST_F(OptionGrammar, LaterEntriesOverrideEarlierOnes) {
    parseOptionString("export_uvs=0;export_uvs=1;export_colors=1;export_colors=0;", OptionDriver::Export,
                      flags);
    EXPECT_EQ(flags.export_uvs, 1u);
    EXPECT_EQ(flags.export_colors, 0u);
}

TEST_F(OptionGrammar, EmptyEntriesAreSkipped) {
    parseOptionString(";;export_uvsets=0;;;export_as_qvx_v2x=1", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_uvsets, 0u);
    EXPECT_EQ(flags.export_as_qvx_v2x, 1u);
}

TEST_F(OptionGrammar, NamesCompareExactlyAndCaseSensitively) {
    parseOptionString("Export_Lights=0;export_lights =0;export_light=0;export_lightsx=0",
                      OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 1u);
}

TEST_F(OptionGrammar, ExportIgnoresImportNames) {
    parseOptionString("import_unsampled_keys=0;import_phong_materials=0;", OptionDriver::Export, flags);
    EXPECT_EQ(flags.import_unsampled_keys, 1u);
    EXPECT_EQ(flags.import_phong_materials, 1u);
}

TEST_F(OptionGrammar, ImportIgnoresExportNames) {
    parseOptionString("export_lights=0;unweld_hard_edges=1;import_phong_materials=0", OptionDriver::Import,
                      flags);
    EXPECT_EQ(flags.export_lights, 1u);
    EXPECT_EQ(flags.unweld_hard_edges, 0u);
    EXPECT_EQ(flags.import_phong_materials, 0u);
    EXPECT_EQ(flags.import_unsampled_keys, 1u);
}

TEST_F(OptionGrammar, ValueEndsAtASecondEqualsSign) {
    parseOptionString("export_lights=0=1;unweld_hard_edges=1=0", OptionDriver::Export, flags);
    EXPECT_EQ(flags.export_lights, 0u);
    EXPECT_EQ(flags.unweld_hard_edges, 1u);
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
