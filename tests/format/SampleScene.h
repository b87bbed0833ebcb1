#pragma once

// A small scene in the form the writers take, with every record kind: a light, a camera,
// two materials (one with a layer of each kind 1 to 7), two groups, six vertices with
// colours and weights, two meshes with their own two UV sets (a quad; two triangles), three
// bones and an animation with a track per bone. Used by the round-trip tests and the
// fuzzer's seed corpus.

#include <string>

#include "scene/Scene.h"

namespace samples {

constexpr int kLayerKinds = 7;

// Scene form: scene-wide vertices and materials, one group per mesh; each mesh keeps its
// own two UV sets, which its polygons index.
inline void fillScene(Scene& s) {
    Light* light = s.lights.append();
    light->name.set("Sun");
    light->kind = 2;
    light->transform.translation = {1, 2, 3};
    light->param0 = 11;
    light->coneAngle = 35;
    light->intensity = 3;
    light->color = {1, 0.5f, 0.25f, 1};
    light->param4 = 2.5f;
    light->param5 = 9;
    Camera* camera = s.cameras.append();
    camera->name.set("Persp");
    camera->kind = 1;
    camera->transform.translation = {0, 5, 20};
    camera->fieldOfView = 50;
    camera->nearClip = 0.1f;
    camera->farClip = 900;

    for (const char* name : {"Red", "Blue"}) {
        Material* m = s.materials.append();
        m->name.set(name);
        m->flags = 3;
        m->diffuse = {0.9f, 0.1f, 0.1f, 1};
        m->specular = {0.3f, 0.3f, 0.3f, 1};
        m->shininess = 40;
        m->opacity = 0.5f;
    }
    Material& red = s.materials[0];
    red.layers.allocate(kLayerKinds);
    for (int kind = 1; kind <= kLayerKinds; ++kind) {
        MaterialLayer* l = red.addLayer(kind - 1, 10 + kind, kind);
        l->flags = 0x310001u + static_cast<uint32_t>(kind);
        l->offset = {0.5f, 0.25f, 0};
        l->repeat = {2, 4, 1};
        l->rotation = {0, 0, 30};
        l->path.set(("C:\\textures\\k" + std::to_string(kind) + ".png").c_str());
        l->value1 = 100u + static_cast<uint32_t>(kind);
        l->value2 = 1.5f;
        l->value3 = 0.25f;
        l->value4 = 6;
        l->value5 = 7;
        l->packedColor = 0x123456;
        l->extraWord = 77;
        if (kind == 4) {
            l->subEntries.allocate(2);
            for (int i = 0; i < 2; ++i) {
                l->subEntries[i].path.set(("/maps/sub" + std::to_string(i) + ".png").c_str());
                l->subEntries[i].value1 = i;
                l->subEntries[i].value2 = 20u + static_cast<uint32_t>(i);
                l->subEntries[i].value3 = 0.5f + i;
            }
        }
        if (kind == 5) {
            for (int i = 0; i < 6; ++i)
                l->paths[size_t(i)].set(("face" + std::to_string(i) + ".png").c_str());
        }
    }

    s.groups.allocate(2);
    s.vertices.allocate(6);
    for (int i = 0; i < 6; ++i) {
        Vertex& v = s.vertices[i];
        v.position = {float(i), float(2 * i), float(-i)};
        v.color = {0.1f * i, 0.2f, 0.3f, 1};
        if (i < 5) {
            v.weights.allocate(i % 2 + 1);
            for (int w = 0; w < v.weightCount(); ++w) {
                v.weights[w].boneIndex = (i + w) % 3;
                v.weights[w].weight = w == 0 ? 0.75f : 0.25f;
            }
        }
    }

    s.meshes.allocate(2);
    // Mesh 0: one quad, group 0, material 0. Mesh 1: two triangles, group 1, materials 1 and none.
    const int corners[2][2] = {{4, 0}, {3, 3}};
    const int vertexIds[2][2][4] = {{{0, 1, 2, 3}, {}}, {{2, 3, 4, 0}, {4, 5, 0, 0}}};
    for (int m = 0; m < 2; ++m) {
        Mesh& mesh = s.meshes[m];
        mesh.uvSets.allocate(2);
        for (int set = 0; set < 2; ++set) {
            mesh.uvSets[set].coords.allocate(4);
            for (int c = 0; c < 4; ++c) {
                mesh.uvSets[set].coords[c].u = 0.1f * c + m + 10.0f * set;
                mesh.uvSets[set].coords[c].v = 0.05f * c;
            }
        }
        const int polygonCount = m == 0 ? 1 : 2;
        mesh.polygons.allocate(polygonCount);
        for (int p = 0; p < polygonCount; ++p) {
            Polygon& poly = mesh.polygons[p];
            poly.groupIndex = m;
            poly.materialIndex = m == 0 ? 0 : (p == 0 ? 1 : -1);
            poly.fourthField = 40u + static_cast<uint32_t>(p);
            poly.createCorners(corners[m][p], 2);
            for (int k = 0; k < corners[m][p]; ++k) {
                poly.vertexIndices()[k] = vertexIds[m][p][k];
                poly.uvs(0).uvIndices[k] = (k + p) % 4;
                poly.uvs(1).uvIndices[k] = 3 - k;
            }
        }
    }

    const char* boneNames[3] = {"Hips", "Spine", "Head"};
    for (int b = 0; b < 3; ++b) {
        Bone* bone = s.bones.append(b - 1);
        bone->name.set(boneNames[b]);
        bone->position = {0, float(b), 0.5f};
        bone->scale = {1, 1.5f, 1};
        bone->rotation = {0, 0.6f, 0, 0.8f};
        bone->color = {0.2f, 0.4f, 0.6f, 1};
    }
    Animation* take = s.animations.append();
    take->name.set("Take");
    take->flags = 1;
    take->startTick = 2;
    take->tickCount = 60;
    take->fps = 24;
    take->tracks.allocate(3);
    for (int t = 0; t < 3; ++t) {
        BoneTrack& track = take->tracks[t];
        track.positionKeys.allocate(t + 1);
        for (int k = 0; k <= t; ++k) {
            track.positionKeys[k].time = 0.5f * k;
            track.positionKeys[k].value = {float(t), float(k), 1};
        }
        track.rotationKeys.allocate(2);
        track.rotationKeys[1].time = 1;
        track.rotationKeys[1].value = {0.6f, 0, 0, 0.8f};
        track.scaleKeys.allocate(1);
        track.scaleKeys[0].value = {2, 2, 2};
    }
}

}  // namespace samples
