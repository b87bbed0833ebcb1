#include <gtest/gtest.h>

#include "process/PostLoad.h"
#include "process/SceneBuilders.h"

using namespace process_test;

namespace {

class NormalizeVertexWeightsTest : public ::testing::Test {
  protected:
    Vertex vertex;
};

TEST_F(NormalizeVertexWeightsTest, ScalesWeightsToSumOne) {
    addWeight(vertex, 0, 0.6f);
    addWeight(vertex, 1, 0.2f);
    normalizeVertexWeights(vertex);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.75f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.25f);
}

TEST_F(NormalizeVertexWeightsTest, EqualSmallWeightsBecomeHalves) {
    addWeight(vertex, 0, 0.2f);
    addWeight(vertex, 1, 0.2f);
    normalizeVertexWeights(vertex);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.5f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.5f);
}

TEST_F(NormalizeVertexWeightsTest, LeavesExactSumOfOneUnchanged) {
    addWeight(vertex, 0, 0.25f);
    addWeight(vertex, 1, 0.75f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.25f);
    EXPECT_EQ(vertex.weights[1].weight, 0.75f);
}

TEST_F(NormalizeVertexWeightsTest, LeavesZeroSumUnchanged) {
    addWeight(vertex, 0, 0.0f);
    addWeight(vertex, 1, 0.0f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.0f);
    EXPECT_EQ(vertex.weights[1].weight, 0.0f);
}

TEST_F(NormalizeVertexWeightsTest, ZeroesWeightOnNoBoneBeforeSumming) {
    addWeight(vertex, -1, 0.5f);
    addWeight(vertex, 2, 0.25f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.0f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 1.0f);
}

TEST_F(NormalizeVertexWeightsTest, ZeroesWeightOnMissingBoneWhenBoneCountIsGiven) {
    addWeight(vertex, 0, 0.5f);
    addWeight(vertex, 3, 0.5f);
    normalizeVertexWeights(vertex, 3);
    EXPECT_EQ(vertex.weights[0].weight, 1.0f);
    EXPECT_EQ(vertex.weights[1].weight, 0.0f);
    EXPECT_EQ(vertex.weights[1].boneIndex, 3);
}

TEST_F(NormalizeVertexWeightsTest, IgnoresVertexWithoutWeights) {
    normalizeVertexWeights(vertex);
    EXPECT_TRUE(vertex.weights.absent());
}

}  // namespace
