#include <gtest/gtest.h>

#include <string>

#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

class RecordNamesTest : public ::testing::Test {
  protected:
    template <class Array>
    void name(Array& records, std::initializer_list<const char*> names) {
        ASSERT_EQ(records.allocate(static_cast<std::int32_t>(names.size())), 1);
        std::int32_t i = 0;
        for (const char* n : names) records[i++].name.set(n);
    }
    Scene scene;
};

TEST_F(RecordNamesTest, ReplacesCharactersHostNamesRejectInBothForms) {
    name(scene.bones, {"Arm.L", "a b", "x|y-z\t\"q\":;,/'\\<>][{}()"});
    sanitizeNames(scene);
    EXPECT_STREQ(scene.bones[0].name.narrow, "Arm_L");
    EXPECT_STREQ(scene.bones[1].name.narrow, "a_b");
    EXPECT_EQ(std::string(scene.bones[2].name.narrow), "x_y_z__q_" + std::string(14, '_'));
    EXPECT_EQ(scene.bones[0].name.wideView(), u"Arm_L");
}

TEST_F(RecordNamesTest, SanitizesEveryKindThatBecomesAHostNode) {
    name(scene.lights, {"l.1"});
    name(scene.cameras, {"c.1"});
    name(scene.uvSets, {"u.1"});
    name(scene.groups, {"g.1"});
    name(scene.materials, {"m.1"});
    name(scene.animations, {"a.1"});
    sanitizeNames(scene);
    EXPECT_STREQ(scene.lights[0].name.narrow, "l_1");
    EXPECT_STREQ(scene.cameras[0].name.narrow, "c_1");
    EXPECT_STREQ(scene.uvSets[0].name.narrow, "u_1");
    EXPECT_STREQ(scene.groups[0].name.narrow, "g_1");
    EXPECT_STREQ(scene.materials[0].name.narrow, "m_1");
    EXPECT_STREQ(scene.animations[0].name.narrow, "a_1");
}

TEST_F(RecordNamesTest, KeepsNonAsciiCharacters) {
    name(scene.materials, {"Stahl gr\xC3\xBCn"});
    sanitizeNames(scene);
    EXPECT_STREQ(scene.materials[0].name.narrow, "Stahl_gr\xC3\xBCn");
    EXPECT_EQ(scene.materials[0].name.wideView(), u"Stahl_gr\u00FCn");
}

TEST_F(RecordNamesTest, ReplacesLeadingDigitOnly) {
    name(scene.lights, {"2ndLight", "Light2", ""});
    fixLeadingDigits(scene);
    EXPECT_STREQ(scene.lights[0].name.narrow, "_ndLight");
    EXPECT_STREQ(scene.lights[1].name.narrow, "Light2");
    EXPECT_STREQ(scene.lights[2].name.narrow, "");
}

TEST_F(RecordNamesTest, ThreeEqualLightNamesGetCounterSuffixes) {
    name(scene.lights, {"Lamp", "Lamp", "Lamp"});
    makeNamesUnique(scene);
    EXPECT_STREQ(scene.lights[0].name.narrow, "Lamp0");
    EXPECT_STREQ(scene.lights[1].name.narrow, "Lamp1");
    EXPECT_STREQ(scene.lights[2].name.narrow, "Lamp");
    EXPECT_EQ(scene.lights[0].name.wideView(), u"Lamp0");
}

TEST_F(RecordNamesTest, TwoEqualCameraNames) {
    name(scene.cameras, {"Camera", "Camera"});
    makeNamesUnique(scene);
    EXPECT_STREQ(scene.cameras[0].name.narrow, "Camera0");
    EXPECT_STREQ(scene.cameras[1].name.narrow, "Camera");
}

TEST_F(RecordNamesTest, SuffixesAccumulateAndTheCounterIsSharedByTheKind) {
    name(scene.bones, {"A", "A", "A0", "B", "B"});
    makeNamesUnique(scene);
    // A -> A0 (still taken) -> A01; then B takes the next counter value, 2.
    EXPECT_STREQ(scene.bones[0].name.narrow, "A01");
    EXPECT_STREQ(scene.bones[1].name.narrow, "A");
    EXPECT_STREQ(scene.bones[2].name.narrow, "A0");
    EXPECT_STREQ(scene.bones[3].name.narrow, "B2");
    EXPECT_STREQ(scene.bones[4].name.narrow, "B");
}

TEST_F(RecordNamesTest, EmptyNamesCollideWithEachOtherOnly) {
    name(scene.groups, {"", "", "x"});
    makeNamesUnique(scene);
    EXPECT_STREQ(scene.groups[0].name.narrow, "0");
    EXPECT_STREQ(scene.groups[1].name.narrow, "");
    EXPECT_STREQ(scene.groups[2].name.narrow, "x");
}

TEST_F(RecordNamesTest, KindsAreIndependentAndUVSetsAreNotRenamed) {
    name(scene.materials, {"M", "M"});
    name(scene.bones, {"M"});
    name(scene.uvSets, {"UV", "UV"});
    makeNamesUnique(scene);
    EXPECT_STREQ(scene.materials[0].name.narrow, "M0");
    EXPECT_STREQ(scene.bones[0].name.narrow, "M");
    EXPECT_STREQ(scene.uvSets[0].name.narrow, "UV");
    EXPECT_STREQ(scene.uvSets[1].name.narrow, "UV");
}

TEST_F(RecordNamesTest, FullLengthNamesStayWithinTheirBuffers) {
    const std::string full(kNameCapacity - 1, 'n');
    name(scene.lights, {full.c_str(), full.c_str()});
    makeNamesUnique(scene);
    // No room for a suffix: after 101 attempts the names stay as they are.
    EXPECT_EQ(std::string(scene.lights[0].name.narrow), full);
    EXPECT_EQ(std::string(scene.lights[1].name.narrow), full);
    EXPECT_EQ(scene.lights[0].name.wideView().size(), kNameCapacity - 1);
}

TEST_F(RecordNamesTest, NearlyFullNameIsCutAtTheBufferEnd) {
    const std::string longName(kNameCapacity - 2, 'n');
    name(scene.lights, {longName.c_str(), longName.c_str()});
    makeNamesUnique(scene);
    EXPECT_EQ(std::string(scene.lights[0].name.narrow), longName + "0");
    EXPECT_EQ(std::string(scene.lights[1].name.narrow), longName);
}

TEST_F(RecordNamesTest, SanitizingBeforeUniquenessMergesSpellings) {
    name(scene.bones, {"a b", "a_b"});
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_STREQ(scene.bones[0].name.narrow, "a_b0");
    EXPECT_STREQ(scene.bones[1].name.narrow, "a_b");
}

}  // namespace
