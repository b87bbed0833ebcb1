#include <maya/MDGModifier.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MLibrary.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include "SceneFixture.h"

namespace {

using Library = SceneTest;

TEST_F(Library, InitializeStartsANewScene) {
    MObject old = dagNode("transform", "old");
    ASSERT_TRUE(MLibrary::initialize(false, "test"));
    MStatus status;
    MFnDagNode fn(old, &status);
    EXPECT_FALSE(status);
}

TEST_F(Library, CleanupUnloadsPluginsWithoutExitingWhenAsked) {
    ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
    MLibrary::cleanup(0, false);
    EXPECT_TRUE(mayasim::loadedPlugins().empty());
    mayasim::TranslatorInfo info;
    EXPECT_FALSE(mayasim::findTranslator("Recording", info));
}

using Selection = SceneTest;

TEST_F(Selection, ActiveSelectionIsKeptAndClearedByANewScene) {
    MObject a = dagNode("transform", "a");
    MSelectionList list;
    ASSERT_TRUE(list.add(a));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(list));
    MSelectionList active;
    ASSERT_TRUE(MGlobal::getActiveSelectionList(active));
    EXPECT_EQ(active.length(), 1u);
    mayasim::newScene();
    MGlobal::getActiveSelectionList(active);
    EXPECT_EQ(active.length(), 0u);
}

TEST_F(Selection, ListByNameFailsWhenNothingMatches) {
    MSelectionList list;
    EXPECT_FALSE(MGlobal::getSelectionListByName("nothingHere", list));
    EXPECT_TRUE(MGlobal::getSelectionListByName("persp", list));
    EXPECT_EQ(list.length(), 1u);
}

using GraphWalk = SceneTest;

TEST_F(GraphWalk, FromAPlugTheFirstStepFollowsThatPlugOnly) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MObject c = dagNode("transform", "c");
    MFnDependencyNode fa(a), fb(b), fc(c);
    MDGModifier mod;
    mod.connect(fa.findPlug("tx"), fb.findPlug("tx"));
    mod.connect(fa.findPlug("ty"), fc.findPlug("ty"));
    ASSERT_TRUE(mod.doIt());
    MPlug root = fa.findPlug("ty");
    std::vector<std::string> names;
    for (MItDependencyGraph it(root); !it.isDone(); it.next()) names.push_back(nameOf(it.thisNode()));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
}

}  // namespace
