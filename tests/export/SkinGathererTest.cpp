#include <gtest/gtest.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"
#include "process/ExportPrep.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

class SkinGatherer : public HostSceneTest {
  protected:
    // Gives point `vertex` of the cylinder exactly these weights for joint1..joint3.
    static void setCylinderWeights(const SkinnedScene& skinned, int vertex, double w1, double w2, double w3) {
        MSelectionList list;
        ASSERT_TRUE(list.add(skinned.skinCluster.c_str()));
        MObject cluster;
        ASSERT_TRUE(list.getDependNode(0, cluster));
        MFnSkinCluster skin(cluster);
        MFnSingleIndexedComponent component;
        MObject points = component.create(MFn::kMeshVertComponent);
        ASSERT_TRUE(component.addElement(vertex));
        MIntArray influences;
        MDoubleArray values;
        for (int j = 0; j < 3; ++j) influences.append(j);
        values.append(w1);
        values.append(w2);
        values.append(w3);
        ASSERT_TRUE(skin.setWeights(skinned.cylinder.shapePath, points, influences, values, false));
    }
};

TEST_F(SkinGatherer, TakesInfluencesAndWeightsAboveTheThresholdUnnormalised) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    setCylinderWeights(skinned, 9, 0.6, 0.2, 0.0005);
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.meshes.count(), 1);
    const Mesh& mesh = scene.meshes[0];
    EXPECT_EQ(mesh.skinned, 1u);
    ASSERT_EQ(mesh.influenceNames.count(), 3);
    EXPECT_EQ(std::string(mesh.influenceNames[0].c_str()), "|joint1");
    EXPECT_EQ(std::string(mesh.influenceNames[2].c_str()), "|joint1|joint2|joint3");
    const Vertex& vertex = mesh.vertices[9];
    ASSERT_EQ(vertex.weightCount(), 2);
    EXPECT_EQ(vertex.weights[0].influenceIndex, 0);
    EXPECT_EQ(vertex.weights[0].boneIndex, -1);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.6f);
    EXPECT_EQ(vertex.weights[1].influenceIndex, 1);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.2f);
    for (const Vertex& v : mesh.vertices) EXPECT_GE(v.weightCount(), 1);

    const auto info = hostLines(mayasim::Severity::kInfo);
    const std::string found =
        "QVX: Found skin cluster: " + skinned.skinCluster + " for mesh: pCylinderShape1";
    EXPECT_NE(std::find(info.begin(), info.end(), found), info.end());
}

TEST_F(SkinGatherer, PreparationNamesBonesAndNormalises) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    setCylinderWeights(skinned, 9, 0.6, 0.2, 0.0005);
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    flattenMeshes(scene);
    const int joint1 = boneNamed(scene, "joint1");
    const int joint2 = boneNamed(scene, "joint2");
    const Vertex& vertex = scene.vertices[9];
    ASSERT_EQ(vertex.weightCount(), 2);
    EXPECT_EQ(vertex.weights[0].boneIndex, joint1);
    EXPECT_EQ(vertex.weights[1].boneIndex, joint2);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.75f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.25f);
}

TEST_F(SkinGatherer, SecondClusterOnTheSameShapeIsReportedAndIgnored) {
    TwoSkinScene twoSkins;
    ASSERT_TRUE(twoSkinClustersOnOneMesh(twoSkins));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.meshes.count(), 1);
    const Mesh& mesh = scene.meshes[0];
    ASSERT_EQ(mesh.influenceNames.count(), 2);
    EXPECT_EQ(std::string(mesh.influenceNames[0].c_str()), "|rootA");
    EXPECT_EQ(std::string(mesh.influenceNames[1].c_str()), "|rootA|tipA");

    std::vector<std::string> skinLines;
    for (const mayasim::LogLine& line : mayasim::messages()) {
        if (line.text.find("skin cluster") != std::string::npos) skinLines.push_back(line.text);
    }
    ASSERT_EQ(skinLines.size(), 2u);
    EXPECT_EQ(skinLines[0], "QVX: Found skin cluster: " + twoSkins.first + " for mesh: doubleSkinnedShape");
    EXPECT_EQ(skinLines[1],
              "QVX: Multiple skin clusters: " + twoSkins.second + " found for mesh: doubleSkinnedShape!");
    EXPECT_EQ(hostLines(mayasim::Severity::kWarning), std::vector<std::string>{skinLines[1]});
}

}  // namespace
