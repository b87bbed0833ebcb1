// The qvx tool's printers: the JSON of `dump` (its text, its validity on any narrow text, its
// output file) and the text of `info` (proportional to the file, and plain about files that
// are not scene files).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>

#include "SceneInfo.h"
#include "SceneJson.h"
#include "format/ExportFile.h"
#include "format/Loader.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleScene.h"
#include "scene/Scene.h"

namespace {

std::string jsonText(const Scene& scene) {
    std::ostringstream out;
    EXPECT_TRUE(writeSceneJson(out, scene));
    return out.str();
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SceneJson, StreamsTheSameTextAsTheDocumentBuiltInMemory) {
    Scene scene;
    samples::fillScene(scene);
    scene.lights[0].param2 = std::numeric_limits<float>::quiet_NaN();  // no JSON number: null
    scene.cameras[0].nearClip = -0.0f;
    scene.meshes[0].path.set("|root|shape");
    const std::string text = jsonText(scene);
    EXPECT_EQ(text, sceneToJson(scene).dump(1) + "\n");
    EXPECT_EQ(text.rfind("{\n \"fileVersion\": 0,\n \"counts\": {\n  \"lights\": 0,", 0), 0u);
    EXPECT_NE(text.find("\"param2\": null"), std::string::npos);
    Scene empty;
    EXPECT_EQ(jsonText(empty), sceneToJson(empty).dump(1) + "\n");
    EXPECT_NE(jsonText(empty).find("\"lights\": [],"), std::string::npos);
}

TEST(SceneJson, WritesNarrowTextThatIsNotUtf8AsTheModelWidensIt) {
    Scene scene;
    Material* m = scene.materials.append();
    m->name.set("Caf\xE9");
    ASSERT_EQ(m->layers.allocate(1), 1);
    m->addLayer(0, 0, 1)->path.set("h\xF6lz.png");
    scene.bones.append()->name.set("tab\there \"quoted\" \x01");
    const std::string text = jsonText(scene);
    nlohmann::json doc;
    ASSERT_NO_THROW(doc = nlohmann::json::parse(text));
    EXPECT_EQ(doc["materials"][0]["name"], "Caf\xC3\xA9");
    EXPECT_EQ(doc["materials"][0]["layers"][0]["path"], "h\xC3\xB6lz.png");
    EXPECT_EQ(doc["bones"][0]["name"], "tab\there \"quoted\" \x01");
    EXPECT_NE(text.find("\\u0001"), std::string::npos);
    // Whatever the bytes, the value form parses too.
    EXPECT_NO_THROW(sceneToJson(scene));
}

TEST(SceneJson, DumpsALoadedLatin1FileWithAndWithoutThePreparation) {
    ScratchFolder folder;
    Scene scene;
    samples::fillScene(scene);
    scene.materials[0].name.set("Caf\xE9");
    scene.bones[0].name.set("b\xF6ne");
    WriteOptions options;
    ASSERT_TRUE(exportSceneFile(scene, options, folder.file("latin.qvx")).written);
    for (const bool prepare : {false, true}) {
        Scene loaded;
        LoadOptions load;
        load.prepare = prepare;
        load.extractEmbeddedFiles = false;
        LoadReport report;
        ASSERT_EQ(loadSceneFile(folder.file("latin.qvx"), loaded, load, &report), QVX_RESULT_OK)
            << report.reason;
        const std::string text = jsonText(loaded);
        nlohmann::json doc;
        ASSERT_NO_THROW(doc = nlohmann::json::parse(text)) << prepare;
        EXPECT_NE(text.find("Caf\xC3\xA9"), std::string::npos) << prepare;
    }
}

TEST(SceneJson, WritesTheOutputThroughATemporaryFileAndNeverOverTheInput) {
    ScratchFolder folder;
    Scene scene;
    samples::fillScene(scene);
    folder.write("in.qvx", {'Q', 'V', 'X', 'H'});
    std::string error;
    EXPECT_FALSE(writeSceneJsonFile(scene, folder.file("in.qvx"), folder.file("in.qvx"), error));
    EXPECT_NE(error.find("input file"), std::string::npos) << error;
    // Also through a link, a relative spelling or a second hard link.
    std::filesystem::create_symlink("in.qvx", folder.file("link.json"));
    ASSERT_EQ(::link(folder.file("in.qvx").c_str(), folder.file("hard.json").c_str()), 0);
    for (const std::string& out :
         {folder.file("link.json"), folder.file("hard.json"), folder.path() + "/./in.qvx"}) {
        EXPECT_FALSE(writeSceneJsonFile(scene, folder.file("in.qvx"), out, error)) << out;
    }
    EXPECT_EQ(fileText(folder.file("in.qvx")), "QVXH");

    folder.write("out.json", {'o', 'l', 'd'});
    ASSERT_TRUE(writeSceneJsonFile(scene, folder.file("in.qvx"), folder.file("out.json"), error)) << error;
    EXPECT_EQ(fileText(folder.file("out.json")), jsonText(scene));
    EXPECT_EQ(entries(folder.path()),
              (std::vector<std::string>{"hard.json", "in.qvx", "link.json", "out.json"}));
    // A folder that does not exist: nothing is written and the reason names the output.
    EXPECT_FALSE(writeSceneJsonFile(scene, folder.file("in.qvx"), folder.file("none/out.json"), error));
    EXPECT_EQ(error.rfind(folder.file("none/out.json"), 0), 0u) << error;
}

TEST(SceneInfo, DrawsADeepBoneChainInTextProportionalToItsLength) {
    Scene scene;
    constexpr int kBones = 50000;
    ASSERT_EQ(scene.bones.allocate(kBones), 1);
    for (int i = 0; i < kBones; ++i) {
        scene.bones[i].name.set("b");
        scene.bones[i].parentIndex = i - 1;
    }
    LoadReport report;
    report.result = QVX_RESULT_OK;
    report.path = "chain.qvx";
    report.parse.outer[kSlotMagic] = QVX_MAGIC;
    std::ostringstream out;
    printFileInfo(out, report, scene);
    const std::string text = out.str();
    // At most the capped indentation, the depth and the name per bone.
    EXPECT_LT(text.size(), std::size_t(kBones) * (4 + 2 * kMaxBoneTreeIndent + 10));
    const std::string capped = std::string(4 + 2 * kMaxBoneTreeIndent, ' ');
    EXPECT_NE(text.find("\n" + capped + "b\n"), std::string::npos);
    EXPECT_NE(text.find("\n" + capped + "[33] b\n"), std::string::npos);
    EXPECT_NE(text.find("\n" + capped + "[49999] b\n"), std::string::npos);
    EXPECT_NE(text.find("\n      b\n"), std::string::npos);  // depth 1 keeps its indentation
}

TEST(SceneInfo, SaysAFileOfRandomBytesIsNotAQvxFile) {
    ScratchFolder folder;
    std::vector<unsigned char> noise(64);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 37 + 200);
    folder.write("noise.bin", noise);
    folder.write("tiny.bin", {1, 2});
    for (const char* name : {"noise.bin", "tiny.bin"}) {
        Scene scene;
        LoadReport report;
        LoadOptions options;
        options.extractEmbeddedFiles = false;
        EXPECT_NE(loadSceneFile(folder.file(name), scene, options, &report), QVX_RESULT_OK);
        std::ostringstream out;
        printFileInfo(out, report, scene);
        EXPECT_NE(out.str().find("not a \".qvx\" file"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find("chunked"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find("header"), std::string::npos) << out.str();
    }
}

}  // namespace
