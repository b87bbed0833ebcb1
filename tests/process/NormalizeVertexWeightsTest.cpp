#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "process/PostLoad.h"
#include "process/SceneBuilders.h"

using namespace process_test;

namespace {

struct WeightCase {
    const char* what;
    std::vector<std::pair<std::int32_t, float>> in;  // bone, weight
    std::int32_t boneCount;                          // -1: no bone count given
    std::vector<float> out;
};

class NormalizeVertexWeightsTest : public ::testing::TestWithParam<WeightCase> {};

TEST_P(NormalizeVertexWeightsTest, GivesTheExpectedWeights) {
    const WeightCase& c = GetParam();
    Vertex vertex;
    for (const auto& w : c.in) addWeight(vertex, w.first, w.second);
    if (c.boneCount < 0) {
        normalizeVertexWeights(vertex);
    } else {
        normalizeVertexWeights(vertex, c.boneCount);
    }
    ASSERT_EQ(vertex.weightCount(), std::int32_t(c.out.size()));
    for (std::int32_t i = 0; i < vertex.weightCount(); ++i) {
        EXPECT_FLOAT_EQ(vertex.weights[i].weight, c.out[i]) << i;
        EXPECT_EQ(vertex.weights[i].boneIndex, c.in[i].first);  // bones are never renamed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeVertexWeightsTest,
    ::testing::Values(
        WeightCase{"ScalesToSumOne", {{0, 0.6f}, {1, 0.2f}}, -1, {0.75f, 0.25f}},
        WeightCase{"EqualSmallWeightsBecomeHalves", {{0, 0.2f}, {1, 0.2f}}, -1, {0.5f, 0.5f}},
        WeightCase{"ExactSumOfOneUnchanged", {{0, 0.25f}, {1, 0.75f}}, -1, {0.25f, 0.75f}},
        WeightCase{"ZeroSumUnchanged", {{0, 0.0f}, {1, 0.0f}}, -1, {0.0f, 0.0f}},
        WeightCase{"NoBoneZeroedBeforeSumming", {{-1, 0.5f}, {2, 0.25f}}, -1, {0.0f, 1.0f}},
        WeightCase{"MissingBoneZeroedWithBoneCount", {{0, 0.5f}, {3, 0.5f}}, 3, {1.0f, 0.0f}},
        WeightCase{"NotANumberZeroedBeforeSumming", {{0, std::nanf("")}, {1, 0.5f}}, -1, {0.0f, 1.0f}},
        WeightCase{"InfinityZeroedBeforeSumming", {{0, 0.25f}, {1, HUGE_VALF}}, -1, {1.0f, 0.0f}},
        WeightCase{"NoWeights", {}, -1, {}}),
    [](const ::testing::TestParamInfo<WeightCase>& info) { return std::string(info.param.what); });

}  // namespace
