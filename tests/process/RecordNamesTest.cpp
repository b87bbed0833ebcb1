#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    template <class Array>
    static std::vector<std::string> names(const Array& records) {
        std::vector<std::string> out;
        for (const auto& record : records) out.emplace_back(record.name.narrow);
        return out;
    }
    using Names = std::vector<std::string>;
    Scene scene;
};

TEST_F(RecordNamesTest, ReplacesCharactersHostNamesRejectInBothForms) {
    name(scene.bones, {"Arm.L", "a b", "x|y-z\t\"q\":;,/'\\<>][{}()"});
    name(scene.materials, {"Stahl gr\xC3\xBCn"});  // non-ASCII characters stay
    sanitizeNames(scene);
    EXPECT_EQ(names(scene.bones), (Names{"Arm_L", "a_b", "x_y_z__q_" + std::string(14, '_')}));
    EXPECT_EQ(scene.bones[0].name.wideView(), u"Arm_L");
    EXPECT_STREQ(scene.materials[0].name.narrow, "Stahl_gr\xC3\xBCn");
    EXPECT_EQ(scene.materials[0].name.wideView(), u"Stahl_gr\u00FCn");
}

TEST_F(RecordNamesTest, SanitizesEveryKindThatBecomesAHostNode) {
    name(scene.lights, {"l.1"});
    name(scene.cameras, {"c.1"});
    name(scene.uvSets, {"u.1"});
    name(scene.groups, {"g.1"});
    name(scene.materials, {"m.1"});
    name(scene.animations, {"a.1"});
    sanitizeNames(scene);
    EXPECT_EQ(names(scene.lights)[0] + names(scene.cameras)[0] + names(scene.uvSets)[0] +
                  names(scene.groups)[0] + names(scene.materials)[0] + names(scene.animations)[0],
              "l_1c_1u_1g_1m_1a_1");
}

TEST_F(RecordNamesTest, ReplacesLeadingDigitOnly) {
    name(scene.lights, {"2ndLight", "Light2", ""});
    fixLeadingDigits(scene);
    EXPECT_EQ(names(scene.lights), (Names{"_ndLight", "Light2", ""}));
}

TEST_F(RecordNamesTest, EqualNamesGetCounterSuffixesExceptTheLast) {
    name(scene.lights, {"Lamp", "Lamp", "Lamp"});
    name(scene.cameras, {"Camera", "Camera"});
    name(scene.groups, {"", "", "x"});  // empty names collide with each other only
    makeNamesUnique(scene);
    EXPECT_EQ(names(scene.lights), (Names{"Lamp0", "Lamp1", "Lamp"}));
    EXPECT_EQ(scene.lights[0].name.wideView(), u"Lamp0");
    EXPECT_EQ(names(scene.cameras), (Names{"Camera0", "Camera"}));
    EXPECT_EQ(names(scene.groups), (Names{"0", "", "x"}));
}

TEST_F(RecordNamesTest, SuffixesAccumulateAndTheCounterIsSharedByTheKind) {
    name(scene.bones, {"A", "A", "A0", "B", "B"});
    makeNamesUnique(scene);
    // A -> A0 (still taken) -> A01; then B takes the next counter value, 2.
    EXPECT_EQ(names(scene.bones), (Names{"A01", "A", "A0", "B2", "B"}));
}

TEST_F(RecordNamesTest, KindsAreIndependentAndUVSetsAreNotRenamed) {
    name(scene.materials, {"M", "M"});
    name(scene.bones, {"M"});
    name(scene.uvSets, {"UV", "UV"});
    makeNamesUnique(scene);
    EXPECT_EQ(names(scene.materials), (Names{"M0", "M"}));
    EXPECT_EQ(names(scene.bones), (Names{"M"}));
    EXPECT_EQ(names(scene.uvSets), (Names{"UV", "UV"}));
}

TEST_F(RecordNamesTest, SuffixesStayWithinTheNameBuffer) {
    // A full name has no room for a suffix: after 101 attempts it stays as it is.
    const std::string full(kNameCapacity - 1, 'n');
    name(scene.lights, {full.c_str(), full.c_str()});
    const std::string nearlyFull(kNameCapacity - 2, 'n');
    name(scene.cameras, {nearlyFull.c_str(), nearlyFull.c_str()});
    makeNamesUnique(scene);
    EXPECT_EQ(names(scene.lights), (Names{full, full}));
    EXPECT_EQ(scene.lights[0].name.wideView().size(), kNameCapacity - 1);
    EXPECT_EQ(names(scene.cameras), (Names{nearlyFull + "0", nearlyFull}));
}

TEST_F(RecordNamesTest, SanitizingBeforeUniquenessMergesSpellings) {
    name(scene.bones, {"a b", "a_b"});
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_EQ(names(scene.bones), (Names{"a_b0", "a_b"}));
}

}  // namespace
