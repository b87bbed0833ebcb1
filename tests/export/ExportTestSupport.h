#pragma once

// The steps of a write request, as the export driver runs them, for the tests of the
// walk: gather the host scene, prepare it, write it, and read the file back.

#include <maya/MStatus.h>

#include <string>

#include "format/WriteOptions.h"
#include "scene/Scene.h"

namespace qvx {
namespace exporttest {

struct WriteRequest {
    bool fixFlippedFaces = true;
    bool unweldHardEdges = false;
    WriteOptions options;
};

// gatherScene, then the preparation passes in the driver's order (and the hard-edge pass
// when asked). Returns the walk's status.
MStatus gatherAndPrepare(Scene& scene, const WriteRequest& request = WriteRequest());

// The whole request into `path`. False (with `error`) when gathering or writing failed.
bool exportHostScene(const std::string& path, const WriteRequest& request = WriteRequest(),
                     std::string* error = nullptr);

// Exports the current host scene to a fresh temporary file and loads it back into
// `loaded` (without post-load preparation unless `prepare`). False when any step failed.
bool exportAndLoad(Scene& loaded, const WriteRequest& request = WriteRequest(), bool prepare = false,
                   std::string* error = nullptr);

// A path in a folder of this test process that is removed at exit.
std::string temporaryPath(const char* name);

// The index of the first bone with this narrow name, -1 when none.
int boneNamed(const Scene& scene, const char* name);
// The index of the first light/camera/material with this narrow name, -1 when none.
int lightNamed(const Scene& scene, const char* name);
int cameraNamed(const Scene& scene, const char* name);
int materialNamed(const Scene& scene, const char* name);

}  // namespace exporttest
}  // namespace qvx

#include <gtest/gtest.h>
#include <maya/MFileIO.h>

#include "export/SceneWalk.h"
#include "mayasim/Host.h"

namespace qvx {
namespace exporttest {

// Every test starts from a new host scene with a quiet, empty message log.
class HostSceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        ASSERT_TRUE(MFileIO::newFile(true));
        mayasim::clearMessages();
    }
    void TearDown() override { mayasim::setEchoMessages(true); }

    // Gathers the host scene into `scene_` and answers its only mesh.
    const Mesh& gatherOnlyMesh(bool fixFlippedFaces = true) {
        EXPECT_TRUE(gatherScene(scene_, fixFlippedFaces));
        EXPECT_EQ(scene_.meshes.count(), 1);
        return scene_.meshes[0];
    }

    // The lines the host received at one level, in order.
    static std::vector<std::string> hostLines(mayasim::Severity severity) {
        std::vector<std::string> lines;
        for (const mayasim::LogLine& line : mayasim::messages()) {
            if (line.severity == severity) lines.push_back(line.text);
        }
        return lines;
    }

    Scene scene_;
};

}  // namespace exporttest
}  // namespace qvx
