#ifndef MAYASIM_TESTS_SCENEFIXTURE_H
#define MAYASIM_TESTS_SCENEFIXTURE_H

#include <gtest/gtest.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <string>

#include "mayasim/Host.h"

// Every test starts from a new scene with a quiet log.
class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
        mayasim::newScene();
    }
    void TearDown() override { mayasim::setEchoMessages(true); }

    static MObject dagNode(const char* type, const char* name, MObject parent = MObject()) {
        MFnDagNode fn;
        MStatus status;
        MObject node = fn.create(type, name, parent, &status);
        EXPECT_TRUE(status) << type << " " << name;
        return node;
    }
    static MObject dgNode(const char* type, const char* name = "") {
        MFnDependencyNode fn;
        MStatus status;
        MObject node = *name ? fn.create(type, name, &status) : fn.create(type, &status);
        EXPECT_TRUE(status) << type;
        return node;
    }
    static std::string nameOf(const MObject& node) { return MFnDependencyNode(node).name().asChar(); }
    static std::string fullPath(const MObject& node) {
        MDagPath path;
        MDagPath::getAPathTo(node, path);
        return path.fullPathName().asChar();
    }
};

#endif
