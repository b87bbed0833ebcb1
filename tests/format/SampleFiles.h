#pragma once

// Hand-built sample files of every accepted version, laid out field by field with the byte
// builder (not with the writers under test). The reader tests check the values below; the
// fuzzer's seed corpus starts from the same files.
//
// Every sample holds: one light "Key", one camera "Cam", one material "Wood" with four
// layers, two groups, four vertices (with colours when flagged, and weights), two meshes (a
// quad in group 0 with material 0 and a triangle in group 1 without material), two bones
// "Root" and "Child" and one animation "Walk" with a track per bone. Files of version 30
// and later also hold one triangle and two UV sets of seven coordinates.

#include <cstdint>
#include <string>
#include <vector>

#include "format/ByteBuilder.h"

namespace samples {

constexpr uint32_t kFlagNormals = 0x01;
constexpr uint32_t kFlagColors = 0x02;
constexpr uint32_t kFlagCompressed = 0x10;
constexpr uint32_t kChunkedFlagWeights = 0x08;

// Values shared by the builders and the tests.
inline float vertexX(int i) {
    return 1.0f + i;
}
inline float uvU(int corner, int set) {
    return 0.1f * corner + set;
}
inline float uvV(int corner) {
    return 0.5f + 0.01f * corner;
}
constexpr int kQuadCorners = 4;
constexpr int kTriangleCorners = 3;
constexpr int kCorners = kQuadCorners + kTriangleCorners;

inline bool utf16(uint32_t version) {
    return version == 10 || version >= 32;
}

// Material layers in the current layout (48-byte head).
inline void layerHead(ByteBuilder& b, int32_t channel, int32_t kind, uint32_t flags) {
    b.i32(channel).i32(kind).u32(flags).vec3(0.25f, 0.5f, 0).vec3(2, 3, 1).vec3(0, 0, 45);
}

inline void currentMaterial(ByteBuilder& b, uint32_t version) {
    b.str("Wood", version);
    b.u32(7).rgba(0.8f, 0.6f, 0.4f, 1).rgba(0.1f, 0.1f, 0.1f, 1).rgba(0, 0, 0, 1).rgba(0.5f, 0.5f, 0.5f, 1);
    b.rgba(0, 0, 0, 1).f32(32).f32(0.75f);
    b.i32(4);
    layerHead(b, 0, 1, 0x310001);
    b.str("C:\\maps\\wood.png", version).u32(7).f32(2.5f).f32(0.5f);
    layerHead(b, 1, 4, 0x310000);
    b.i32(2);
    b.str("a.png", version).i32(0).u32(11).f32(0.25f);
    b.str("maps/b.png", version).i32(1).u32(12).f32(0.75f);
    layerHead(b, 2, 5, 0x310000);
    for (int i = 0; i < 6; ++i) b.str("face" + std::to_string(i) + ".png", version);
    layerHead(b, 3, 2, 0x310003);
    b.str("/abs/bump.png", version).u32(1).f32(2).f32(1).f32(8).f32(9).u32(0xC4C4C4).u32(5);
}

// Material layers in the old layout (20-byte head, a leading word per known kind).
inline void oldMaterial(ByteBuilder& b, uint32_t version) {
    b.str("Wood", version);
    b.u32(7).rgba(0.8f, 0.6f, 0.4f, 1).rgba(0.1f, 0.1f, 0.1f, 1).rgba(0, 0, 0, 1).rgba(0.5f, 0.5f, 0.5f, 1);
    b.rgba(0, 0, 0, 1).f32(32).f32(0.75f);
    b.i32(4);
    b.i32(0).i32(1).u32(8448).u32(10497).u32(0x5);  // head
    b.u32(1).str("C:\\maps\\wood.png", version).u32(7).f32(2.5f).f32(0.5f);
    b.i32(1).i32(4).u32(8448).u32(10497).u32(0);
    b.u32(3).str("a.png", version).str("b.png", version).str("", version);
    b.i32(0).i32(1).i32(0).u32(11).u32(12).u32(0).zeros(12).f32(0.25f).f32(0.75f).f32(1.0f);
    b.i32(2).i32(5).u32(8448).u32(10497).u32(0);
    b.u32(0x3F);
    for (int i = 0; i < 6; ++i) b.str("face" + std::to_string(i) + ".png", version);
    b.i32(3).i32(6).u32(8448).u32(10497).u32(0);
    b.u32(1).str("gloss.png", version).u32(256);
}

inline void vertices(ByteBuilder& b, uint32_t flags, bool weights = true, bool extraVectors = false) {
    for (int i = 0; i < 4; ++i) {
        b.vec3(vertexX(i), 2.0f * i, -1.0f);
        if (flags & kFlagNormals) b.vec3(0, 1, 0);
        if (extraVectors) b.vec3(1, 0, 0).vec3(0, 0, 1);
        if (flags & kFlagColors) b.rgba(0.25f * i, 0.5f, 0.75f, 1.0f);
        if (!weights) continue;
        if (i == 3) {
            b.i32(0);
        } else {
            b.i32(2).i32(0).f32(0.75f).i32(1).f32(0.25f);
        }
    }
}

inline void tenWordTriangle(ByteBuilder& b) {
    b.u32(9).i32(1).i32(0).i32(0).i32(1).i32(2).i32(-1).i32(-1).i32(-1).u32(4);
}

// One polygon in the current layout with `channels` UV channels whose UV index of corner k
// is base + k.
inline void polygon(ByteBuilder& b, int corners, int channels, int32_t group, int32_t material, int base,
                    const int* vertexIds) {
    b.i32(corners).i32(channels).i32(group).i32(material).u32(0xAB);
    for (int k = 0; k < corners; ++k) b.i32(vertexIds[k]).i32(-1);
    for (int j = 0; j < channels; ++j) {
        for (int k = 0; k < corners; ++k) b.i32(base + k).i32(-1);
    }
}

inline void uvSetRecord(ByteBuilder& b, int set, uint32_t version) {
    b.str("Map" + std::to_string(set), version).i32(kCorners);
    for (int k = 0; k < kCorners; ++k) b.u32(0).f32(uvU(k, set)).f32(uvV(k));
    b.i32(1);
    tenWordTriangle(b);
}

constexpr int kQuadVertices[4] = {0, 1, 2, 3};
constexpr int kTriangleVertices[3] = {0, 2, 3};

inline void currentBone(ByteBuilder& b, const std::string& name, int32_t parent, float tx, uint32_t version) {
    b.str(name, version).i32(parent);
    b.f32s({1, 0, 0, 0, 1, 0, 0, 0, 1});
    b.vec3(tx, 0, 0).vec3(1, 2, 3);
    b.f32s({1, 0, 0, tx, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    b.f32s({0, 0, 0.7071068f, 0.7071068f});
    b.vec3(0.1f, 0.2f, 0.3f);
    b.rgba(1, 0, 0, 1);
}

inline void oldBone(ByteBuilder& b, const std::string& name, int32_t parent, float tx, uint32_t version) {
    b.str(name, version).i32(parent).vec3(tx, 0, 0).f32s({0, 0, 0.7071068f, 0.7071068f});
    if (version >= 9) b.vec3(1, 2, 3);
    b.rgba(1, 0, 0, 1);
}

inline void track(ByteBuilder& b, int bone) {
    b.i32(2).f32(0).vec3(float(bone), 0, 0).f32(1).vec3(float(bone), 1, 0);
    b.i32(1).f32(0).f32s({0, 0, 0, 1});
    b.i32(1).f32(0.5f).vec3(2, 2, 2);
}

inline void animation(ByteBuilder& b, uint32_t version, int tracks) {
    b.str("Walk", version).u32(0).f32(0).f32(48).f32(24).i32(tracks);
    for (int t = 0; t < tracks; ++t) track(b, t);
}

// A sectioned file of `version` (6 to 33) with the given vertex flags. The header is the
// 96-byte form below version 30 and the 128-byte form from 30 on, with every count and
// offset slot set and the file-size slot equal to the length.
inline std::vector<unsigned char> sectioned(uint32_t version, uint32_t flags = kFlagColors) {
    const bool full = version >= 30;
    const std::size_t headerBytes = full ? 128 : 96;
    ByteBuilder b;
    b.zeros(headerBytes);
    uint32_t slots[32] = {};
    slots[0] = 0x48585651u;
    slots[1] = version;
    slots[2] = flags;
    auto section = [&](int countSlot, uint32_t count) {
        slots[countSlot] = count;
        slots[countSlot + 1] = static_cast<uint32_t>(b.size());
        b.u32(count);
    };
    section(4, 1);  // lights
    if (full) {
        b.str("Key", version).u32(1600).u32(2).transform(1, 2, 3);
        b.f32(10).f32(30).f32(0).f32(1).f32(2.5f).rgba(1, 0.5f, 0.25f, 1).f32(2).f32(8);
    } else {
        b.str("Key", version).u32(2).vec3(1, 2, 3).rgba(1, 0.5f, 0.25f, 1);
    }
    section(6, 1);  // cameras
    if (full) {
        b.str("Cam", version).u32(0).u32(1).transform(0, 0, 10).f32(60).f32(0.5f).f32(500);
    } else {
        b.str("Cam", version)
            .u32(1)
            .f32s({1, 0, 0, 0, 1, 0, 0, 0, 1})
            .vec3(0, 0, 10)
            .f32(60)
            .f32(0.5f)
            .f32(500);
    }
    section(8, 1);  // materials
    if (version >= 31) {
        currentMaterial(b, version);
    } else {
        oldMaterial(b, version);
    }
    section(10, 2);  // groups
    for (int g = 0; g < 2; ++g) {
        b.str("G" + std::to_string(g), version);
        if (full) b.u32(0).i32(-1).transform();
    }
    section(12, 4);  // vertices
    vertices(b, flags);
    if (full) {
        section(14, 1);  // triangles
        tenWordTriangle(b);
        section(16, 2);  // UV sets
        uvSetRecord(b, 0, version);
        uvSetRecord(b, 1, version);
        section(18, 2);  // meshes
        b.i32(1);
        polygon(b, kQuadCorners, 2, 0, 0, 0, kQuadVertices);
        b.i32(1);
        polygon(b, kTriangleCorners, 2, 1, -1, kQuadCorners, kTriangleVertices);
    } else {
        section(18, 2);  // meshes: group value, polygons with inline UVs
        const int* ids[2] = {kQuadVertices, kTriangleVertices};
        const int counts[2] = {kQuadCorners, kTriangleCorners};
        int base = 0;
        for (int g = 0; g < 2; ++g) {
            b.u32(static_cast<uint32_t>(g)).i32(1);
            b.i32(counts[g]);
            b.i32(2);  // UV channels (every accepted version stores the count)
            b.i32(g == 0 ? 0 : -1).u32(0xAB);
            for (int k = 0; k < counts[g]; ++k) b.u32(static_cast<uint32_t>(ids[g][k]));
            for (int j = 0; j < 2; ++j) {
                for (int k = 0; k < counts[g]; ++k) {
                    b.f32(uvU(base + k, j)).f32(uvV(base + k));
                    if (version < 10) b.f32(0);
                }
            }
            base += counts[g];
        }
    }
    section(20, 2);  // bones
    if (full) {
        currentBone(b, "Root", -1, 0, version);
        currentBone(b, "Child", 0, 5, version);
    } else {
        oldBone(b, "Root", -1, 0, version);
        oldBone(b, "Child", 0, 5, version);
    }
    section(22, 1);  // animations
    animation(b, version, 2);
    section(24, 3);  // info strings
    b.str8("Tavrin Pro Maya 2015 Translator").str8("v3.0").str8("Sun Dec  6 12:00:00 2026");
    slots[3] = static_cast<uint32_t>(b.size());
    // Store the header in its file form.
    for (std::size_t word = 0; word * 4 < headerBytes; ++word) {
        const std::size_t slot = full || word < 14 ? word : word + 4;
        b.patchU32(4 * word, slots[slot]);
    }
    return b.bytes();
}

// A named embedded file for chunked samples.
struct Embedded {
    std::string name;
    std::vector<unsigned char> data;
};

// A chunked (version 34) file. Flags: colours and weights by default. Embedded files go
// in a chunk between the materials and the groups; an unknown chunk (0xBBBB0005) is
// included and must be skipped.
inline std::vector<unsigned char> chunked(uint32_t flags = kFlagColors | kChunkedFlagWeights,
                                          const std::vector<Embedded>& embedded = {}) {
    const uint32_t v = 34;
    ByteBuilder b;
    b.text("QVXH").u32(v).u32(flags).u32(0).u32(0).zeros(28);
    std::size_t at = b.beginChunk(0xBBBB0000u);
    for (uint32_t t = 1; t <= 10; ++t) b.u32(0xBBBB0000u + t).u32(t);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0001u);
    b.u32(1).str("Key", v).u32(1600).u32(2).transform(1, 2, 3);
    b.f32(10).f32(30).f32(0).f32(1).f32(2.5f).rgba(1, 0.5f, 0.25f, 1).f32(2).f32(8);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0002u);
    b.u32(1).str("Cam", v).u32(0).u32(1).transform(0, 0, 10).f32(60).f32(0.5f).f32(500);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0003u);
    b.u32(1);
    currentMaterial(b, v);
    b.endChunk(at);
    if (!embedded.empty()) {
        at = b.beginChunk(0xBBBB0004u);
        b.u32(static_cast<uint32_t>(embedded.size()));
        for (const auto& e : embedded) {
            b.str(e.name, v).u32(static_cast<uint32_t>(e.data.size())).raw(e.data);
        }
        b.endChunk(at);
    }
    at = b.beginChunk(0xBBBB0005u);
    b.u32(0xDEADBEEF).u32(0xFFFFFFFF);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0006u);
    b.u32(2);
    for (int g = 0; g < 2; ++g) b.str("G" + std::to_string(g), v).u32(0).i32(-1).transform();
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0007u);
    b.u32(2);
    for (int m = 0; m < 2; ++m) {
        const std::size_t mesh = b.beginChunk(0xCCCC0000u);
        if (m == 0) {
            std::size_t part = b.beginChunk(0xCCCC0001u);
            b.u32(4);
            vertices(b, flags & (kFlagColors | kFlagNormals), (flags & kChunkedFlagWeights) != 0,
                     (flags & 0x04) != 0);
            b.endChunk(part);
            part = b.beginChunk(0xCCCC0002u);
            b.u32(1);
            tenWordTriangle(b);
            b.endChunk(part);
            part = b.beginChunk(0xCCCC0006u);
            b.u32(2);
            for (int s = 0; s < 2; ++s) {
                const std::size_t set = b.beginChunk(0xDDDD0000u);
                b.str("Map" + std::to_string(s), v);
                std::size_t sub = b.beginChunk(0xDDDD0001u);
                b.i32(kCorners);
                for (int k = 0; k < kCorners; ++k) b.u32(0).f32(uvU(k, s)).f32(uvV(k));
                b.endChunk(sub);
                sub = b.beginChunk(0xDDDD0002u);
                b.i32(1);
                tenWordTriangle(b);
                b.endChunk(sub);
                b.endChunk(set);
            }
            b.endChunk(part);
        }
        const std::size_t part = b.beginChunk(0xCCCC0005u);
        b.i32(1);
        if (m == 0) {
            polygon(b, kQuadCorners, 2, 0, 0, 0, kQuadVertices);
        } else {
            polygon(b, kTriangleCorners, 2, 1, -1, kQuadCorners, kTriangleVertices);
        }
        b.endChunk(part);
        b.endChunk(mesh);
    }
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0008u);
    b.u32(2);
    currentBone(b, "Root", -1, 0, v);
    currentBone(b, "Child", 0, 5, v);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB0009u);
    b.u32(1);
    animation(b, v, 2);
    b.endChunk(at);
    at = b.beginChunk(0xBBBB000Au);
    b.u32(2).str("Tavrin", v).str("v4", v);
    b.endChunk(at);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    return b.bytes();
}

// The versions whose files no writer here produces, and that the samples cover.
inline std::vector<uint32_t> sectionedVersions() {
    return {6, 8, 9, 10, 29, 30, 31, 32, 33};
}

}  // namespace samples
