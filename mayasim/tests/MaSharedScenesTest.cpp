// Scenes real Maya wrote, opened through MFileIO and read back through the API as the plug-in reads
// them. Expected values are the ones stored in the files.
#include <gtest/gtest.h>
#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSelectionList.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "SceneFixture.h"
#include "mayasim/MaFile.h"

namespace {

std::string scenesDir() {
    if (const char* env = std::getenv("MAYASIM_MA_SCENES")) return env;
    return MAYASIM_MA_SCENES;
}

std::string scenePath(const char* file) {
    return scenesDir() + "/" + file;
}

bool haveScenes() {
    return static_cast<bool>(std::ifstream(scenePath("FlatTetrahedron.ma")));
}

#define REQUIRE_SCENES()                                                                  \
    if (!haveScenes()) GTEST_SKIP() << "shared Maya scenes not found in " << scenesDir(); \
    static_assert(true, "")

class MaSharedScenesTest : public SceneTest {};

TEST_F(MaSharedScenesTest, EveryShared_SceneOpens) {
    REQUIRE_SCENES();
    for (const char* f : {"FlatTetrahedron.ma", "CubeGrid1.ma", "CubeNormalBakingTest.ma",
                          "NestedTransparentEmissiveSpheres.ma", "CubeNormalBakingRigTestPhong.ma",
                          "DoubleMeshSkinWeldTestAnim.ma", "TwoJointsNoRoot.ma", "SingleJointCubeAnim.ma"}) {
        SCOPED_TRACE(f);
        MStatus st = MFileIO::open(scenePath(f).c_str());
        mayasim::MaLoadReport r = mayasim::lastMaLoadReport();
        EXPECT_TRUE(st) << r.error;
        std::printf("%s", r.text().c_str());
    }
}

}  // namespace
