#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(MStringTest, SplitDropsEmptyPieces) {
    MStringArray parts;
    MString("a=1;;b=2;").split(';', parts);
    ASSERT_EQ(parts.length(), 2u);
    EXPECT_EQ(parts[0], "a=1");
    EXPECT_EQ(parts[1], "b=2");
    MString("name=").split('=', parts);
    ASSERT_EQ(parts.length(), 1u);
    EXPECT_EQ(parts[0], "name");
    MString("").split(';', parts);
    EXPECT_EQ(parts.length(), 0u);
}

TEST(MStringTest, AppendsNumbersAsText) {
    MString s("v");
    s += 10.0;
    s += 3;
    s += 0.5f;
    EXPECT_EQ(s, "v1030.5");
    EXPECT_EQ(MString("t") + 1, "t1");
}

TEST(MStringTest, IntegerConversion) {
    EXPECT_TRUE(MString("-12").isInt());
    EXPECT_FALSE(MString("abc").isInt());
    EXPECT_FALSE(MString("").isInt());
    EXPECT_EQ(MString("abc").asInt(), 0);
    EXPECT_EQ(MString("7").asInt(), 7);
}

TEST(MStringTest, SubstringEndIsInclusiveAndClamped) {
    MString s("scene.qvx");
    EXPECT_EQ(s.substring(5, 8), ".qvx");
    EXPECT_EQ(s.substring(5, 100), ".qvx");
    EXPECT_EQ(s.substring(4, 3), "");
    EXPECT_EQ(s.index('.'), 5);
    EXPECT_EQ(s.rindex('z'), -1);
}

TEST(MStringTest, LowerCaseAndLength) {
    MString s("AbC");
    EXPECT_EQ(s.toLowerCase(), "abc");
    EXPECT_EQ(s.length(), 3u);
    EXPECT_EQ(MString(nullptr), "");
}

TEST(MStatusTest, BoolIsTrueOnlyForSuccess) {
    EXPECT_TRUE(MStatus());
    EXPECT_FALSE(MStatus(MS::kFailure));
    EXPECT_EQ(MStatus(MS::kNotFound).statusCode(), 7);
    EXPECT_TRUE(MS::kFailure == MStatus(MStatus::kFailure));
}

MStatus returnsThrough(MStatus s) {
    CHECK_MSTATUS_AND_RETURN_IT(s);
    return MS::kSuccess;
}

TEST(MStatusTest, CheckMacroReturnsTheFailure) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(returnsThrough(MS::kInvalidParameter), MS::kInvalidParameter);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("kInvalidParameter"), std::string::npos);
    EXPECT_EQ(returnsThrough(MS::kSuccess), MS::kSuccess);
}

TEST(HostValues, FileObjectJoinsNameAndFolder) {
    auto dir = std::filesystem::temp_directory_path() / "mayasim_fileobject_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "tex.png") << "x";
    MFileObject f;
    f.setName("tex.png");
    f.setRawPath(dir.string().c_str());
    EXPECT_EQ(f.expandedFullName(), (dir / "tex.png").string().c_str());
    EXPECT_TRUE(f.exists());
    f.setName("missing.png");
    EXPECT_FALSE(f.exists());
    MFileObject g;
    g.setFullName("C:\\scenes\\a.qvx");
    EXPECT_EQ(g.name(), "a.qvx");
    EXPECT_EQ(g.fullName(), "C:\\scenes\\a.qvx");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

TEST(HostValues, StringArrayBoundsAreChecked) {
    MStringArray a;
    EXPECT_FALSE(a.remove(0));
    EXPECT_FALSE(a.set("x", 0));
    a.append("a");
    EXPECT_TRUE(a.insert("b", 0));
    EXPECT_FALSE(a.insert("c", 5));
    ASSERT_EQ(a.length(), 2u);
    EXPECT_EQ(a[0], "b");
    a.setLength(3);
    EXPECT_EQ(a[2], "");
}

TEST(HostValues, StatusTextsNameTheirCode) {
    EXPECT_EQ(MStatus(MS::kNotFound).errorString(), "(kNotFound): Object not found");
    MStatus s(MS::kFailure);
    s.clear();
    EXPECT_TRUE(s);
}

}  // namespace
