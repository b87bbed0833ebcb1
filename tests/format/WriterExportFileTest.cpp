#include "format/ExportFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "WriterScenes.h"
#include "format/Codec.h"

using namespace writer_test;
namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void buildScene(Scene& scene) {
    addGroup(scene);
    addGroup(scene);
    for (int i = 0; i < 6; ++i) addWeight(addVertex(scene, float(i), float(i * i), 1), 0, 1.0f);
    Mesh& a = addMesh(scene);
    addUVSet(a, {{0, 0}, {1, 0}, {1, 1}});
    addPolygon(a, 0, 0, {0, 1, 2}, {{0, 1, 2}});
    Mesh& b = addMesh(scene);
    addPolygon(b, 1, 0, {3, 4, 5});
    addMaterial(scene, "mat", 1).addLayer(0, 0, 1)->path.set("/maps/wood.png");
    scene.bones.append()->name.set("root");
    scene.animations.append()->tracks.allocate(1);
}

class ExportFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("qvx-export-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
        buildScene(scene);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string target() const { return (dir_ / "out.qvx").string(); }

    // Checks the wrapper of the file at target() and returns its inflated inner file.
    std::vector<unsigned char> innerOfTarget(uint32_t headerBytes) {
        const auto file = readAll(target());
        const Bytes bytes{file};
        EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "QVXH");
        EXPECT_EQ(bytes.u32(4), 8u);
        EXPECT_EQ(bytes.u32(8), 0x12u);
        EXPECT_EQ(bytes.u32(20), headerBytes);
        std::vector<unsigned char> inner(bytes.u32(12));
        std::size_t produced = 0;
        EXPECT_EQ(codecInflate(file.data() + headerBytes, file.size() - headerBytes, inner.data(),
                               inner.size(), produced),
                  InflateResult::Ok);
        EXPECT_EQ(produced, inner.size());
        // Apart from its first four slots, the wrapper header is the inner header.
        EXPECT_TRUE(std::equal(file.begin() + 16, file.begin() + headerBytes, inner.begin() + 16));
        return inner;
    }

    fs::path dir_;
    Scene scene;
};

}  // namespace

TEST_F(ExportFile, Version31FileIsAWrapperAroundTheWrittenBody) {
    const WriteOptions options = fixedDateOptions();
    const ExportResult result = exportSceneFile(scene, options, target());
    ASSERT_TRUE(result.written) << result.error;
    const auto inner = innerOfTarget(128);
    std::vector<unsigned char> body;
    QvxHeader header;
    std::string error;
    ASSERT_TRUE(writeSceneBody(scene, options, body, header, error));
    EXPECT_EQ(inner, body);
    EXPECT_EQ(Bytes{inner}.u32(4), 31u);
    EXPECT_EQ(Bytes{inner}.u32(12), inner.size());
    EXPECT_EQ(entries(), std::vector<std::string>{"out.qvx"});
}

TEST_F(ExportFile, Version9FileHasA96ByteWrapperHeaderAndReplacesAnEarlierExport) {
    WriteOptions options = allOff();  // inner flags 0: the wrapper's flags do not follow them
    ASSERT_TRUE(exportSceneFile(scene, options, target()).written);
    EXPECT_EQ(Bytes{innerOfTarget(128)}.u32(8), 0u);
    options.export_as_qvx_v2x = true;
    ASSERT_TRUE(exportSceneFile(scene, options, target()).written);
    const auto inner = innerOfTarget(96);
    EXPECT_EQ(Bytes{inner}.u32(4), 9u);
    EXPECT_EQ(Bytes{inner}.u32(12), inner.size());
    EXPECT_EQ(Bytes{inner}.u32(20), 96u);
    EXPECT_EQ(entries(), std::vector<std::string>{"out.qvx"});
}

TEST_F(ExportFile, UnwritableTargetReportsThePathAndLeavesNothing) {
    const std::string path = (dir_ / "missing" / "out.qvx").string();
    const ExportResult result = exportSceneFile(scene, fixedDateOptions(), path);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.error.rfind(path, 0), 0u);
    EXPECT_TRUE(entries().empty());
}
