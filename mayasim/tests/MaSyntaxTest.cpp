// Hand-written ASCII scene texts: the statement forms Maya writes, and malformed files that must fail
// with the line named and the previous scene untouched.
#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <string>

#include "SceneFixture.h"
#include "mayasim/MaFile.h"

namespace {

class MaSyntaxTest : public SceneTest {
  protected:
    MStatus open(const std::string& text) { return mayasim::openMaText(text, "test.ma", &report); }
    static double value(const char* plug) {
        MSelectionList list;
        MPlug p;
        EXPECT_TRUE(list.add(plug)) << plug;
        list.getPlug(0, p);
        return p.asDouble();
    }
    mayasim::MaLoadReport report;
};

// A two-triangle quad given in continuation chunks: points in two statements, faces in two, the second
// of each without -type.
const char* const kQuad = R"(//Maya ASCII 2018 scene
requires maya "2018";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "quad";
createNode mesh -n "quadShape" -p "quad";
	setAttr -s 4 ".vt";
	setAttr ".vt[0:1]"  0 0 0 1 0 0;
	setAttr ".vt[2:3]"  1 1 0
		 0 1 0;
	setAttr ".pt[2]" -type "float3" 0 0 0.5 ;
	setAttr -s 5 ".ed[0:4]"  0 1 0 1 2 0 2 0 1 2 3 0 3 0 0;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 4 ".uvst[0].uvsp[0:3]" -type "float2" 0 0 1 0 1 1 0 1;
	setAttr -s 2 -ch 6 ".fc";
	setAttr ".fc[0]" -type "polyFaces" 
		f 3 0 1 2
		mu 0 3 0 1 2;
	setAttr ".fc[1]"
		f 3 -3 3 4
		mu 0 3 0 2 3
		h 3 0 1 2
		mu 0 3 0 1 2;
)";

TEST_F(MaSyntaxTest, ContinuationChunksTweaksEdgesAndHoles) {
    ASSERT_TRUE(open(kQuad)) << report.error;
    MFnMesh mesh(path("quadShape"));
    ASSERT_EQ(mesh.numVertices(), 4);
    ASSERT_EQ(mesh.numPolygons(), 2);
    MPoint p;
    mesh.getPoint(2, p);
    EXPECT_DOUBLE_EQ(p.z, 0.5);  // the tweak is added to the stored point
    MIntArray v;
    mesh.getPolygonVertices(1, v);
    ASSERT_EQ(v.length(), 3u);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 2);
    EXPECT_EQ(v[2], 3);
    EXPECT_TRUE(mesh.isEdgeSmooth(2));
    EXPECT_FALSE(mesh.isEdgeSmooth(3));
    int uv = -1;
    mesh.getPolygonUVid(1, 2, uv);
    EXPECT_EQ(uv, 3);
    bool holeNoted = false;
    for (const std::string& n : report.notes) holeNoted = holeNoted || n.find("holes") != std::string::npos;
    EXPECT_TRUE(holeNoted) << report.text();
}

TEST_F(MaSyntaxTest, UnitsStringsBooleansCommentsAndCarriageReturns) {
    const std::string text =
        "currentUnit -l meter -a radian -t ntsc;\r\n"
        "createNode transform -n \"a\"; // a comment; with a semicolon\r\n"
        "\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\r\n"
        "\tsetAttr \".r\" -type \"double3\" 0.5 0 0 ;\r\n"
        "\tsetAttr \".v\" off;\r\n"
        "createNode file -n \"tex\";\r\n"
        "\tsetAttr \".ftn\" -type \"string\" (\"C:/a \\\"b\\\"\" + \"/c.png\");\r\n"
        "createNode animCurveTL -n \"a_translateX\";\r\n"
        "\tsetAttr -s 2 \".ktv[0:1]\"  0 0 30 2;\r\n"
        "connectAttr \"a_translateX.o\" \"a.tx\";\r\n";
    ASSERT_TRUE(open(text)) << report.error;
    EXPECT_DOUBLE_EQ(value("a.ty"), 200.0);  // metres to centimetres
    EXPECT_DOUBLE_EQ(value("a.rx"), 0.5);    // radians kept
    EXPECT_DOUBLE_EQ(value("a.v"), 0.0);
    MSelectionList list;
    list.add("tex.fileTextureName");
    MPlug ftn;
    list.getPlug(0, ftn);
    EXPECT_STREQ(ftn.asString().asChar(), "C:/a \"b\"/c.png");
    MFnAnimCurve curve(node("a_translateX"));
    ASSERT_EQ(curve.numKeys(), 2u);
    EXPECT_NEAR(curve.time(1).as(MTime::kSeconds), 1.0, 1e-9);  // 30 ntsc frames
    EXPECT_DOUBLE_EQ(curve.value(1), 200.0);
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::kNTSCFrame);
}

// A triangle skinned to two joints; weights given in both encodings.
const char* const kSkin = R"(
createNode joint -n "j0";
createNode joint -n "j1" -p "j0";
	setAttr ".t" -type "double3" 0 1 0 ;
createNode transform -n "tri";
createNode mesh -n "triShape" -p "tri";
createNode mesh -n "triShapeOrig" -p "tri";
	setAttr ".io" yes;
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0;
	setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
createNode skinCluster -n "skin";
	setAttr -s 3 ".wl";
	setAttr ".wl[0:1].w"
		1 0 1
		2 0 0.25 5 0.75;
	setAttr -s 2 ".wl[2].w[0:5]" 0.5 0 0 0 0 0.5;
	setAttr ".pm[5]" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 -1 0 1;
	setAttr ".gm" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;
connectAttr "j0.wm" "skin.ma[0]";
connectAttr "j1.wm" "skin.ma[5]";
connectAttr "triShapeOrig.w" "skin.ip[0].ig";
connectAttr "skin.og[0]" "triShape.i";
)";

TEST_F(MaSyntaxTest, BothWeightEncodingsAndSparseInfluenceIds) {
    ASSERT_TRUE(open(kSkin)) << report.error;
    MFnSkinCluster skin(node("skin"));
    MDagPathArray influences;
    ASSERT_EQ(skin.influenceObjects(influences), 2u);
    EXPECT_EQ(skin.indexForInfluenceObject(influences[1]), 5u);
    MDoubleArray w;
    unsigned count = 0;
    ASSERT_TRUE(skin.getWeights(path("triShape"), MObject(), w, count));
    ASSERT_EQ(count, 2u);
    EXPECT_DOUBLE_EQ(w[0], 1.0);
    EXPECT_DOUBLE_EQ(w[2], 0.25);
    EXPECT_DOUBLE_EQ(w[3], 0.75);
    EXPECT_DOUBLE_EQ(w[4], 0.5);
    EXPECT_DOUBLE_EQ(w[5], 0.5);
    EXPECT_EQ(MFnMesh(path("triShape")).numPolygons(), 1);  // topology through the cluster
}

TEST_F(MaSyntaxTest, DynamicAttributesInstancesRenamesDefaultsAndTime) {
    const std::string text = R"(
createNode transform -n "grp";
createNode transform -n "inst";
createNode locator -n "loc" -p "grp";
parent -s -nc -r -add "|grp|loc" "inst";
createNode transform -n "old";
rename "old" "renamed";
createNode myPluginNode -n "custom";
	addAttr -ci true -sn "gain" -ln "gain" -at "double";
	setAttr ".gain" 2.5;
	setAttr ".extra[3]" -type "string" "kept";
connectAttr "custom.gain" "grp.tx";
connectAttr "|inst|loc.iog" ":initialShadingGroup.dsm" -na;
select -ne :time1;
	setAttr ".o" 12;
select -ne :defaultResolution;
	setAttr ".w" 640;
somethingNew -x 1;
)";
    ASSERT_TRUE(open(text)) << report.error;
    MDagPathArray paths;
    MDagPath::getAllPathsTo(node("loc"), paths);
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_FALSE(node("renamed").isNull());
    EXPECT_EQ(MFnDependencyNode(node("custom")).typeName(), MString("myPluginNode"));
    EXPECT_DOUBLE_EQ(value("grp.tx"), 2.5);
    // The second instance's object groups are "iog[1]".
    MPlugArray dst;
    MFnDependencyNode(node("loc"))
        .findPlug("instObjGroups")
        .elementByLogicalIndex(1)
        .connectedTo(dst, false, true);
    ASSERT_EQ(dst.length(), 1u);
    EXPECT_EQ(nameOf(dst[0].node()), "initialShadingGroup");
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kFilm), 12.0);
    EXPECT_FALSE(node("defaultResolution").isNull());
    bool noted = false;
    for (const std::string& n : report.notes) noted = noted || n.find("somethingNew") != std::string::npos;
    EXPECT_TRUE(noted) << report.text();
}

TEST_F(MaSyntaxTest, ImportAddsToTheSceneAndFailedImportAddsNothing) {
    dagNode("transform", "mine");
    ASSERT_TRUE(mayasim::importMaText("createNode transform -n \"theirs\";\n", "a.ma", &report))
        << report.error;
    EXPECT_FALSE(node("mine").isNull());
    EXPECT_FALSE(node("theirs").isNull());
    EXPECT_FALSE(
        mayasim::importMaText("createNode transform -n \"more\";\nsetAttr \".t\" 1 2", "b.ma", &report));
    EXPECT_TRUE(node("more").isNull());
}

// Each malformed text fails with its line named, and the scene from before is kept.
TEST_F(MaSyntaxTest, MalformedFilesFailNamingTheLineAndKeepTheScene) {
    struct Case {
        const char* text;
        const char* line;
        const char* what;
    };
    const Case cases[] = {
        {"createNode transform -n \"a\";\nsetAttr \".t\" -type \"double3\" 1 2", "line 2", "end of the file"},
        {"createNode file -n \"f\";\n\tsetAttr \".ftn\" -type \"string\" \"open;\n", "line 2", "string"},
        {"createNode transform -n \"a\";\n\tsetAttr \".tx\" abc;\n", "line 2", "number"},
        {"createNode transform -n \"a\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 4;\n", "line 2",
         "more values"},
        {"createNode mesh -n \"m\" -p \"nowhere\";\n", "line 1", "nowhere"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr -s 3 \".vt[0:2]\" 0 "
         "0 0 1 0 0;\n",
         "line 3", "values"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr \".vt[0:999999999]\" "
         "0 0 0;\n",
         "line 3", "elements"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr \".vt[4000000000]\" "
         "0 0 0;\n",
         "line 2", "far beyond"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr \".vt[0:2]\" 0 0 0 1 "
         "0 0 0 1 0;\n"
         "\tsetAttr \".ed[0:1]\" 0 1 0 1 2 0;\n\tsetAttr \".fc[0]\" -type \"polyFaces\" f 3 0 1 2;\n",
         "line 2", "missing edge"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr \".fc[0]\" -type "
         "\"polyFaces\" "
         "q 3 0 1 2;\n",
         "line 3", "polyFaces"},
        {"createNode skinCluster -n \"s\";\n\tsetAttr \".wl[0:1].w\" 2 0 0.5;\n", "line 2", ""},
        {"connectAttr \"nobody.tx\" \"persp.tx\";\n", "line 1", "nobody"},
        {"requires maya \"2018\";\nfile -r -ns \"ref\" \"C:/other.ma\";\n", "line 2", "reference"},
        {"createNode transform -n \"a\";\n\tsetAttr \".t[\" 1;\n", "line 2", "index"},
        {"createNode transform -n \"t\";\ncreateNode mesh -n \"m\" -p \"t\";\n\tsetAttr "
         "\".iog[0].og[0].gcl\" -type "
         "\"componentList\" 2 \"f[0]\" \"f[5:4000000000]\";\n",
         "line 3", "more than"},
        {"createNode transform -n \"a\";\n(\"x\" + );\n", "line 2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        mayasim::newScene();
        dagNode("transform", "keepMe");
        EXPECT_FALSE(open(c.text));
        EXPECT_NE(report.error.find("test.ma"), std::string::npos) << report.error;
        EXPECT_NE(report.error.find(c.line), std::string::npos) << report.error;
        EXPECT_NE(report.error.find(c.what), std::string::npos) << report.error;
        EXPECT_FALSE(node("keepMe").isNull()) << "the previous scene is kept";
    }
}

}  // namespace

namespace {

// Node kinds the shared scenes lack, as Maya writes them.
TEST_F(MaSyntaxTest, LayeredTextureUvChooserAndLights) {
    const std::string text = R"(
createNode transform -n "p";
createNode mesh -n "pShape" -p "p";
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr ".uvst[1].uvsn" -type "string" "second";
createNode file -n "f1";
	setAttr ".ftn" -type "string" "a.png";
createNode file -n "f2";
	setAttr ".ftn" -type "string" "b.png";
createNode layeredTexture -n "layers";
	setAttr -s 2 ".cs";
	setAttr ".cs[0].a" 0.25;
	setAttr ".cs[0].bm" 4;
	setAttr ".cs[1].c" -type "float3" 1 0 0 ;
createNode uvChooser -n "chooser";
connectAttr "f1.oc" "layers.cs[0].c";
connectAttr "pShape.uvst[1].uvsn" "chooser.uvs[0]";
connectAttr "chooser.ouv" "f2.uv";
createNode transform -n "spot";
createNode spotLight -n "spotShape" -p "spot";
	setAttr ".cl" -type "float3" 1 0.5 0.25 ;
	setAttr ".in" 2;
	setAttr ".ca" 30;
createNode transform -n "amb";
createNode ambientLight -n "ambShape" -p "amb";
	setAttr ".as" 0.25;
createNode transform -n "area";
createNode areaLight -n "areaShape" -p "area";
)";
    ASSERT_TRUE(open(text)) << report.error;
    // inputs[i]: color, alpha, blendMode, isVisible.
    MPlug inputs = MFnDependencyNode(node("layers")).findPlug("inputs");
    EXPECT_DOUBLE_EQ(inputs.elementByLogicalIndex(0).child(1).asDouble(), 0.25);
    EXPECT_DOUBLE_EQ(inputs.elementByLogicalIndex(0).child(2).asDouble(), 4);
    EXPECT_DOUBLE_EQ(inputs.elementByLogicalIndex(1).child(0).child(0).asDouble(), 1.0);
    MPlugArray src;
    inputs.elementByLogicalIndex(0).child(0).connectedTo(src, true, false);
    ASSERT_EQ(src.length(), 1u);
    EXPECT_EQ(nameOf(src[0].node()), "f1");
    MPlug set = MFnDependencyNode(node("chooser")).findPlug("uvSets").elementByLogicalIndex(0);
    EXPECT_STREQ(set.asString().asChar(), "second");  // read through the connection to the UV set name
    EXPECT_NEAR(value("spotShape.coneAngle"), 30 * 3.14159265358979323846 / 180, 1e-12);
    EXPECT_FLOAT_EQ(static_cast<float>(value("spotShape.colorG")), 0.5f);
    EXPECT_DOUBLE_EQ(value("spotShape.intensity"), 2.0);
    EXPECT_FLOAT_EQ(static_cast<float>(value("ambShape.ambientShade")), 0.25f);
    EXPECT_TRUE(node("areaShape").hasFn(MFn::kAreaLight));
}

}  // namespace
