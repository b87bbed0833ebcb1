#include "WriterScenes.h"
#include "format/BodyWriterCommon.h"
#include "format/ExportFile.h"
#include "format/WriteOptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

TEST(TextureFileName, DropsTheDriveAndFoldersOfPosixAndWindowsPaths) {
    const std::pair<const char*, const char*> cases[] = {{"/home/art/maps/wood.png", "wood.png"},
                                                         {"C:\\maps\\wood.png", "wood.png"},
                                                         {"C:/maps\\sub/wood.tga", "wood.tga"},
                                                         {"C:wood.png", "wood.png"},
                                                         {"\\\\server\\share\\stone.jpg", "stone.jpg"},
                                                         {"wood.png", "wood.png"},
                                                         {"noext", "noext"},
                                                         {"", ""},
                                                         {"maps/", ""}};
    for (const auto& c : cases) EXPECT_EQ(textureFileName(c.first), c.second) << c.first;
}

TEST(BoundedText, StopsAtTheTerminatorAndNeverReadsPastTheBuffer) {
    const char terminated[8] = "abc";
    EXPECT_EQ(boundedText(terminated, sizeof terminated), "abc");
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(boundedText(buffer, sizeof buffer), "xxxxx");
    EXPECT_EQ(boundedText(nullptr, 4), "");
}

TEST(ExportDate, UsesTheClassic24CharacterForm) {
    std::tm parts{};
    parts.tm_year = 2026 - 1900;
    parts.tm_mon = 11;
    parts.tm_mday = 5;
    parts.tm_hour = 9;
    parts.tm_min = 19;
    parts.tm_sec = 48;
    parts.tm_isdst = -1;
    const std::time_t when = std::mktime(&parts);
    EXPECT_EQ(formatExportDate(when), "Sat Dec  5 09:19:48 2026");
}

TEST(ExportDate, OptionsTextWinsOverTheClock) {
    WriteOptions options;
    options.dateText = "Mon Jan  1 00:00:00 2001";
    EXPECT_EQ(exportDateText(options), "Mon Jan  1 00:00:00 2001");
    options.dateText.clear();
    EXPECT_EQ(exportDateText(options).size(), 24u);
}

TEST(BodySizeHint, CoversWhatBothWritersProduce) {
    using namespace writer_test;
    Scene scene;
    addGroup(scene);
    for (int i = 0; i < 10; ++i) addWeight(addVertex(scene, 0, 0, 0), 0, 1);
    Mesh& mesh = addMesh(scene);
    addUVSet(mesh, {{0, 0}});
    for (int i = 0; i < 20; ++i) addPolygon(mesh, 0, 0, {0, 1, 2, 3, 4});
    Material& m = addMaterial(scene, std::string(300, 'n').c_str(), 7);
    for (int k = 1; k <= 7; ++k) m.addLayer(k - 1, k, k)->path.set(std::string(250, 'p').c_str());
    m.layers[4]->paths[3].set(std::string(250, 'q').c_str());
    scene.lights.append();
    scene.cameras.append();
    scene.bones.append();
    scene.animations.append()->tracks.allocate(1);
    scene.animations[0].tracks[0].rotationKeys.allocate(5);
    for (bool v9 : {false, true}) {
        WriteOptions options;
        options.export_as_qvx_v2x = v9;
        std::vector<unsigned char> inner;
        QvxHeader header;
        std::string error;
        ASSERT_TRUE(writeSceneBody(scene, options, inner, header, error));
        EXPECT_GE(bodySizeHint(scene, options), inner.size()) << v9;
        EXPECT_LE(bodySizeHint(scene, options), 8 * inner.size()) << v9;
    }
}
