#pragma once

// Pieces both body writers share: the header bookkeeping, value encodings and the
// sections whose layout is the same in both versions.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "format/ByteWriter.h"
#include "format/QvxHeader.h"
#include "format/WriteOptions.h"
#include "scene/Scene.h"

// The file name and extension of a texture path: the drive and folders are dropped, with
// "/" and "\" both taken as separators so that paths made on Windows reduce the same way.
std::string_view textureFileName(std::string_view path);

// The text of a zero-terminated name buffer of `capacity` bytes, never reading past it and
// never longer than capacity - 1 (what a reader's name buffer can take back).
inline std::string_view boundedText(const char* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) return {};
    const void* end = std::memchr(buffer, 0, capacity - 1);
    return std::string_view(
        buffer, end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : capacity - 1);
}

// Records the section's offset (the position of its count word) and count in the header,
// then writes the count word.
inline void beginSection(ByteWriter& out, QvxHeader& header, QvxSection section, uint32_t count) {
    header[qvxOffsetSlot(section)] = out.position();
    header[qvxCountSlot(section)] = count;
    out.u32(count);
}

// Sets magic, version and flags and writes the header's bytes as a placeholder.
void beginHeader(ByteWriter& out, QvxHeader& header, uint32_t version, const WriteOptions& options);
// Sets the file size and writes the final header over the placeholder.
void completeHeader(ByteWriter& out, QvxHeader& header);

// The counted string of a record's narrow name.
inline void writeName(ByteWriter& out, const RecordName& name) {
    out.countedString(boundedText(name.narrow, kNameCapacity));
}
// The counted string of a texture path, reduced to its file name and extension.
inline void writeTexturePath(ByteWriter& out, const RecordName& path) {
    out.countedString(textureFileName(boundedText(path.narrow, kNameCapacity)));
}

inline void writeVec3(ByteWriter& out, const Vec3& v) {
    out.f32(v.x);
    out.f32(v.y);
    out.f32(v.z);
}
inline void writeColor(ByteWriter& out, const Color& c) {
    out.f32(c.r);
    out.f32(c.g);
    out.f32(c.b);
    out.f32(c.a);
}
inline void writeQuat(ByteWriter& out, const Quat& q) {
    out.f32(q.x);
    out.f32(q.y);
    out.f32(q.z);
    out.f32(q.w);
}
inline void writeTransform(ByteWriter& out, const Transform& t) {
    const auto floats = t.toFloats();
    out.f32s(floats.data(), floats.size());
}

// Counts of the sections that depend on options, the same in both versions.
inline uint32_t writtenMaterialCount(const Scene& scene, const WriteOptions& options) {
    return options.export_materials ? static_cast<uint32_t>(scene.materials.count()) : 0;
}
inline uint32_t writtenBoneCount(const Scene& scene, const WriteOptions& options) {
    return options.export_bones ? static_cast<uint32_t>(scene.bones.count()) : 0;
}
inline uint32_t writtenAnimationCount(const Scene& scene, const WriteOptions& options) {
    return options.export_animation && options.export_bones ? static_cast<uint32_t>(scene.animations.count())
                                                            : 0;
}
// A polygon's material index as written: -1 when materials are off or the index is negative.
inline int32_t writtenMaterialIndex(const Polygon& polygon, const WriteOptions& options) {
    return options.export_materials && polygon.materialIndex >= 0 ? polygon.materialIndex : -1;
}

// The layers a material holds, in slot order; empty slots are skipped so that the count
// written before them is exactly the number of layers that follow.
int32_t filledLayerCount(const Material& material);

// The material's values from flags to opacity (92 bytes) and its filled-layer count.
void writeMaterialBlock(ByteWriter& out, const Material& material);

// The (u, v) written for corner `corner` of UV channel `channel` of a polygon: the mesh's
// UV set `channel` at the polygon's index for that corner when UVs (and, for channels
// above 0, extra UV sets) are exported and the index is valid; (0, 0) otherwise.
struct UVValue {
    float u = 0.0f;
    float v = 0.0f;
};
class UVLookup {
  public:
    UVLookup(const Mesh& mesh, const Polygon& polygon, int32_t channel, const WriteOptions& options);
    UVValue at(int32_t corner) const {
        if (indices_ == nullptr) return {};
        const int32_t index = indices_[corner];
        if (index < 0 || index >= coords_->count()) return {};
        const UVCoord& c = (*coords_)[index];
        return {c.u, c.v};
    }

  private:
    const int32_t* indices_ = nullptr;  // null when every corner gives (0, 0)
    const UVCoordArray* coords_ = nullptr;
};

// An upper bound of the bytes either writer produces for `scene`, for sizing the output once.
// Only a hint: a low figure costs a regrowth, never a wrong file.
std::size_t bodySizeHint(const Scene& scene, const WriteOptions& options);

// Sections with the same layout in both versions.
void writeVertexSection(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options);
void writeAnimationSection(ByteWriter& out, QvxHeader& header, const Scene& scene,
                           const WriteOptions& options);
void writeInfoStringSection(ByteWriter& out, QvxHeader& header, const WriteOptions& options);
