#ifndef MAYASIM_TESTS_SCENEFIXTURE_H
#define MAYASIM_TESTS_SCENEFIXTURE_H

#include <gtest/gtest.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <initializer_list>
#include <string>

#include "mayasim/Host.h"

inline MIntArray ints(std::initializer_list<int> values) {
    MIntArray a;
    for (int x : values) a.append(x);
    return a;
}

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
    // The triangle (0,0,0) (1,0,0) (0,1,0) made by `fn` under `parent` (a new transform when null);
    // returns what MFnMesh::create returns.
    static MObject triangle(MFnMesh& fn, MObject parent = MObject::kNullObj) {
        MFloatPointArray pts;
        pts.append(0, 0, 0);
        pts.append(1, 0, 0);
        pts.append(0, 1, 0);
        MIntArray counts, connects;
        counts.append(3);
        for (int i = 0; i < 3; ++i) connects.append(i);
        MStatus status;
        MObject made = fn.create(3, 1, pts, counts, connects, parent, &status);
        EXPECT_TRUE(status);
        return made;
    }
    // The node or DAG path of a unique name or path; null or invalid when none matches.
    static MObject node(const char* name) {
        MSelectionList list;
        MObject o;
        if (list.add(name)) list.getDependNode(0, o);
        return o;
    }
    static MDagPath path(const char* name) {
        MSelectionList list;
        MDagPath p;
        if (list.add(name)) list.getDagPath(0, p);
        return p;
    }
    static std::string nameOf(const MObject& node) { return MFnDependencyNode(node).name().asChar(); }
    static std::string fullPath(const MObject& node) {
        MDagPath path;
        MDagPath::getAPathTo(node, path);
        return path.fullPathName().asChar();
    }
};

#endif
