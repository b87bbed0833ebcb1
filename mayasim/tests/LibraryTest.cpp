#include <maya/MGlobal.h>
#include <maya/MLibrary.h>
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

}  // namespace
