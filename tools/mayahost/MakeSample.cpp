// Writes the demo's sample character with the project's own writer: a five-joint skeleton
// with two seconds of animation, a skinned body mesh with two UV sets and vertex colours,
// two materials (one with a colour texture and a bump map), a spot light and a camera,
// and the two small texture files beside it.
//
// Usage: qvx_make_sample OUTPUT_FOLDER    (writes character.qvx, skin.png, skin_bump.png)

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "format/ExportFile.h"
#include "format/WriteOptions.h"
#include "scene/Scene.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSides = 8;  // around the body
constexpr int kRings = 7;  // from the feet to the top of the head
constexpr int kFrames = 48;
constexpr float kFps = 24.0f;

// The smallest valid PNG: one grey pixel.
const unsigned char kPixelPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00,
    0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x68, 0x00, 0x00, 0x00, 0x82, 0x00, 0x81,
    0x77, 0xCD, 0x72, 0xB6, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

Quat aboutAxis(float x, float y, float z, float radians) {
    const float s = std::sin(radians / 2);
    return {x * s, y * s, z * s, std::cos(radians / 2)};
}

void addBone(Scene& scene, const char* name, int parent, Vec3 position) {
    Bone& bone = *scene.bones.append(parent);
    bone.name.set(name);
    bone.position = position;
}

void addWeight(Vertex& vertex, int bone, float weight) {
    VertexWeight& w = *vertex.weights.append();
    w.boneIndex = bone;
    w.weight = weight;
}

void buildSkeleton(Scene& scene) {
    addBone(scene, "hip", -1, {0, 1.0f, 0});
    addBone(scene, "spine", 0, {0, 0.4f, 0});
    addBone(scene, "head", 1, {0, 0.5f, 0});
    addBone(scene, "leftLeg", 0, {0.15f, -0.1f, 0});
    addBone(scene, "rightLeg", 0, {-0.15f, -0.1f, 0});

    Animation& animation = *scene.animations.append();
    animation.startTick = 0;
    animation.tickCount = kFrames;
    animation.fps = kFps;
    animation.tracks.allocate(scene.bones.count());
    // The hip bobs, the spine sways and the head turns; keys are relative to the rest pose.
    BoneTrack& hip = animation.tracks[0];
    hip.positionKeys.allocate(kFrames / 4 + 1);
    for (int k = 0; k <= kFrames / 4; ++k) {
        const float t = float(k * 4) / kFps;
        hip.positionKeys[k] = {t, {0, 0.05f * std::sin(t * 2 * kPi), 0}};
    }
    BoneTrack& spine = animation.tracks[1];
    spine.rotationKeys.allocate(3);
    spine.rotationKeys[0] = {0.0f, aboutAxis(0, 0, 1, -0.2f), {}};
    spine.rotationKeys[1] = {1.0f, aboutAxis(0, 0, 1, 0.2f), {}};
    spine.rotationKeys[2] = {2.0f, aboutAxis(0, 0, 1, -0.2f), {}};
    BoneTrack& head = animation.tracks[2];
    head.rotationKeys.allocate(2);
    head.rotationKeys[0] = {0.0f, aboutAxis(0, 1, 0, -0.6f), {}};
    head.rotationKeys[1] = {2.0f, aboutAxis(0, 1, 0, 0.6f), {}};
    head.scaleKeys.allocate(1);
    head.scaleKeys[0] = {0.0f, {1, 1, 1}};
}

// A closed tube from the feet to the head; the lower two rings belong to the legs, the
// middle to the spine, the top to the head; the top cap and the face use the skin material.
void buildBody(Scene& scene) {
    scene.groups.append()->name.set("body");
    Mesh& mesh = *scene.meshes.append();
    mesh.setName("body");
    mesh.uvSets.allocate(2);
    mesh.uvSets[0].name.set("UVSet1");
    mesh.uvSets[1].name.set("UVSet2");
    mesh.uvSets[0].coords.allocate((kSides + 1) * kRings);
    mesh.uvSets[1].coords.allocate((kSides + 1) * kRings);
    for (int r = 0; r < kRings; ++r) {
        const float y = 1.9f * float(r) / float(kRings - 1);
        const float radius = r >= kRings - 2 ? 0.12f : 0.2f;
        for (int s = 0; s < kSides; ++s) {
            const float a = 2 * kPi * float(s) / kSides;
            Vertex& v = *scene.vertices.append();
            v.position = {radius * std::cos(a), y, radius * std::sin(a)};
            v.color = {0.5f + 0.5f * std::cos(a), float(r) / float(kRings - 1), 0.5f, 1.0f};
            if (r <= 1) {
                addWeight(v, std::cos(a) >= 0 ? 3 : 4, 1.0f);
            } else if (r == 2) {
                addWeight(v, 0, 0.5f);
                addWeight(v, 1, 0.5f);
            } else if (r < kRings - 2) {
                addWeight(v, 1, 1.0f);
            } else {
                addWeight(v, 2, 1.0f);
            }
        }
        for (int s = 0; s <= kSides; ++s) {
            UVCoord& first = mesh.uvSets[0].coords[r * (kSides + 1) + s];
            first.u = float(s) / kSides;
            first.v = float(r) / float(kRings - 1);
            UVCoord& second = mesh.uvSets[1].coords[r * (kSides + 1) + s];
            second.u = 0.5f + 0.5f * first.u;
            second.v = 0.5f * first.v;
        }
    }
    for (int r = 0; r + 1 < kRings; ++r) {
        for (int s = 0; s < kSides; ++s) {
            const int s1 = (s + 1) % kSides;
            Polygon& p = *mesh.polygons.append();
            p.groupIndex = 0;
            p.materialIndex = r >= kRings - 3 ? 0 : 1;
            p.createCorners(4);
            const int corners[4] = {r * kSides + s, r * kSides + s1, (r + 1) * kSides + s1,
                                    (r + 1) * kSides + s};
            const int uvs[4] = {r * (kSides + 1) + s, r * (kSides + 1) + s + 1,
                                (r + 1) * (kSides + 1) + s + 1, (r + 1) * (kSides + 1) + s};
            for (int k = 0; k < 4; ++k) {
                p.vertexIndices()[k] = corners[k];
                p.uvs(0).uvIndices[k] = uvs[k];
                p.uvs(1).uvIndices[k] = uvs[k];
            }
        }
    }
}

void buildMaterials(Scene& scene) {
    Material& skin = *scene.materials.append();
    skin.name.set("Skin");
    skin.diffuse = {0.9f, 0.7f, 0.6f, 1};
    skin.specular = {0.4f, 0.4f, 0.4f, 1};
    skin.shininess = 32;
    skin.layers.allocate(2);
    MaterialLayer* colour = skin.addLayer(0, 0, 1);
    colour->path.set("C:\\Tavrin\\textures\\skin.png");
    colour->flags = MaterialLayer::kCreationFlags | MaterialLayer::kFlagTexture;
    MaterialLayer* bump = skin.addLayer(1, 2, 1);
    bump->path.set("C:\\Tavrin\\textures\\skin_bump.png");
    bump->flags = MaterialLayer::kCreationFlags | MaterialLayer::kFlagTexture | MaterialLayer::kFlagNormalMap;

    Material& cloth = *scene.materials.append();
    cloth.name.set("Cloth");
    cloth.diffuse = {0.2f, 0.3f, 0.8f, 1};
    cloth.shininess = 96;
}

void buildLightAndCamera(Scene& scene) {
    Light& light = *scene.lights.append();
    light.name.set("KeyLight");
    light.kind = 2;
    light.coneAngle = 35;
    light.intensity = 1.5f;
    light.color = {1, 0.95f, 0.9f, 1};
    light.transform.translation = {2, 4, 3};

    Camera& camera = *scene.cameras.append();
    camera.name.set("ShotCam");
    camera.fieldOfView = 50;
    camera.nearClip = 0.1f;
    camera.farClip = 500;
    camera.transform.translation = {0, 1.2f, 6};
}

bool writePng(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(kPixelPng), sizeof kPixelPng);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qvx_make_sample OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    Scene scene;
    buildSkeleton(scene);
    buildBody(scene);
    buildMaterials(scene);
    buildLightAndCamera(scene);

    WriteOptions options;
    options.dateText = "Sat Dec  5 09:19:48 2026";  // fixed, so that the sample is reproducible
    const ExportResult result = exportSceneFile(scene, options, folder + "/character.qvx");
    if (!result.written) {
        std::fprintf(stderr, "qvx_make_sample: %s\n", result.error.c_str());
        return 1;
    }
    if (!writePng(folder + "/skin.png") || !writePng(folder + "/skin_bump.png")) {
        std::fprintf(stderr, "qvx_make_sample: cannot write the textures in %s\n", folder.c_str());
        return 1;
    }
    std::printf("wrote %s/character.qvx, skin.png, skin_bump.png\n", folder.c_str());
    return 0;
}
