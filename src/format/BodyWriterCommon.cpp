#include "format/BodyWriterCommon.h"

#include <vector>

std::string_view textureFileName(std::string_view path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator != std::string_view::npos) return path.substr(separator + 1);
    // A drive without a folder, e.g. "C:wood.png".
    if (path.size() >= 2 && path[1] == ':') return path.substr(2);
    return path;
}

void beginHeader(ByteWriter& out, QvxHeader& header, uint32_t version, const WriteOptions& options) {
    header = QvxHeader{};
    header[kSlotMagic] = QVX_MAGIC;
    header[kSlotVersion] = version;
    if (options.export_colors) header[kSlotFlags] |= QVX_FLAG_COLORS;
    out.zeros(qvxHeaderBytesForVersion(version));
}

void completeHeader(ByteWriter& out, QvxHeader& header) {
    header[kSlotFileSize] = out.position();
    const std::size_t headerBytes = qvxHeaderBytesForVersion(header.version());
    unsigned char bytes[kQvxHeaderBytes128];
    header.encode(bytes, headerBytes);
    out.patch(0, bytes, headerBytes);
}

int32_t filledLayerCount(const Material& material) {
    int32_t filled = 0;
    for (const auto& layer : material.layers)
        if (layer) ++filled;
    return filled;
}

void writeMaterialBlock(ByteWriter& out, const Material& material) {
    out.u32(material.flags);
    writeColor(out, material.diffuse);
    writeColor(out, material.ambient);
    writeColor(out, material.color3);
    writeColor(out, material.specular);
    writeColor(out, material.color5);
    out.f32(material.shininess);
    out.f32(material.opacity);
    out.i32(filledLayerCount(material));
}

UVLookup::UVLookup(const Mesh& mesh, const Polygon& polygon, int32_t channel, const WriteOptions& options) {
    if (!options.export_uvs || (channel > 0 && !options.export_uvsets)) return;
    if (channel >= mesh.uvSets.count() || channel >= polygon.uvChannelCount()) return;
    indices_ = polygon.uvs(channel).uvIndices;
    coords_ = &mesh.uvSets[channel].coords;
}

void writeVertexSection(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const bool colors = (header.flags() & QVX_FLAG_COLORS) != 0;
    const bool normals = (header.flags() & QVX_FLAG_NORMALS) != 0;
    beginSection(out, header, QvxSection::Vertices, static_cast<uint32_t>(scene.vertices.count()));
    const std::size_t fixedBytes = 12 + (normals ? 12 : 0) + (colors ? 16 : 0) + 4;
    for (const Vertex& vertex : scene.vertices) {
        const int32_t weightCount = options.export_bones ? vertex.weightCount() : 0;
        unsigned char* p = out.claim(fixedBytes + 8 * static_cast<std::size_t>(weightCount));
        if (p == nullptr) return;
        p = ByteWriter::put32(p, vertex.position.x);
        p = ByteWriter::put32(p, vertex.position.y);
        p = ByteWriter::put32(p, vertex.position.z);
        if (normals) {
            p = ByteWriter::put32(p, vertex.normal.x);
            p = ByteWriter::put32(p, vertex.normal.y);
            p = ByteWriter::put32(p, vertex.normal.z);
        }
        if (colors) {
            p = ByteWriter::put32(p, vertex.color.r);
            p = ByteWriter::put32(p, vertex.color.g);
            p = ByteWriter::put32(p, vertex.color.b);
            p = ByteWriter::put32(p, vertex.color.a);
        }
        p = ByteWriter::put32(p, weightCount);
        for (int32_t w = 0; w < weightCount; ++w) {
            p = ByteWriter::put32(p, vertex.weights[w].boneIndex);
            p = ByteWriter::put32(p, vertex.weights[w].weight);
        }
    }
}

namespace {

template <class KeyArray, class WriteValue>
void writeKeys(ByteWriter& out, const KeyArray& keys, std::size_t bytesPerKey, WriteValue writeValue) {
    out.i32(keys.count());
    unsigned char* p = out.claim(bytesPerKey * static_cast<std::size_t>(keys.count()));
    if (p == nullptr) return;
    for (const auto& key : keys) {
        p = ByteWriter::put32(p, key.time);
        p = writeValue(p, key.value);
    }
}

unsigned char* putVec3(unsigned char* p, const Vec3& v) {
    p = ByteWriter::put32(p, v.x);
    p = ByteWriter::put32(p, v.y);
    return ByteWriter::put32(p, v.z);
}

unsigned char* putQuat(unsigned char* p, const Quat& q) {
    p = ByteWriter::put32(p, q.x);
    p = ByteWriter::put32(p, q.y);
    p = ByteWriter::put32(p, q.z);
    return ByteWriter::put32(p, q.w);
}

}  // namespace

void writeAnimationSection(ByteWriter& out, QvxHeader& header, const Scene& scene,
                           const WriteOptions& options) {
    const uint32_t count = writtenAnimationCount(scene, options);
    beginSection(out, header, QvxSection::Animations, count);
    for (uint32_t a = 0; a < count && out.ok(); ++a) {
        const Animation& animation = scene.animations[static_cast<int32_t>(a)];
        writeName(out, animation.name);
        out.u32(animation.flags);
        out.f32(animation.startTick);
        out.f32(animation.tickCount);
        out.f32(animation.fps);
        out.i32(animation.trackCount());
        for (const BoneTrack& track : animation.tracks) {
            writeKeys(out, track.positionKeys, 16, putVec3);
            writeKeys(out, track.rotationKeys, 20, putQuat);
            writeKeys(out, track.scaleKeys, 16, putVec3);
        }
    }
}

void writeInfoStringSection(ByteWriter& out, QvxHeader& header, const WriteOptions& options) {
    beginSection(out, header, QvxSection::InfoStrings, 3);
    out.countedString(options.description);
    out.countedString(options.versionText);
    out.countedString(exportDateText(options));
}

std::size_t bodySizeHint(const Scene& scene, const WriteOptions& options) {
    // A counted name is at most its length word, the 259 bytes a name buffer holds and a zero.
    constexpr std::size_t kName = 2 + kNameCapacity;
    constexpr std::size_t kFixedRecord = 204;  // the largest fixed part of a light, camera, group or bone
    auto count = [](int32_t n) { return n > 0 ? static_cast<std::size_t>(n) : 0; };

    std::size_t bytes = kQvxHeaderBytes128 + 4 * kQvxSectionCount;
    bytes += (count(scene.lights.count()) + count(scene.cameras.count()) + count(scene.groups.count()) +
              count(scene.bones.count())) *
             (kName + kFixedRecord);
    for (const Material& material : scene.materials) {
        bytes += kName + 96;
        for (const auto& layer : material.layers)
            if (layer) bytes += 48 + 4 + 6 * kName + 32 + count(layer->subEntryCount()) * (kName + 12);
    }
    for (const Vertex& vertex : scene.vertices) bytes += 12 + 12 + 16 + 4 + 8 * count(vertex.weightCount());
    for (const Mesh& mesh : scene.meshes) {
        bytes += 8;
        for (const Polygon& polygon : mesh.polygons) {
            const std::size_t n = count(polygon.cornerCount());
            const std::size_t m = count(polygon.uvChannelCount());
            // Polygon fields and corners in either layout, plus its two UV-set coordinates.
            bytes += 20 + 8 * n + 12 * n * m + 2 * 12 * n;
        }
    }
    bytes += 2 * (kName + 8);
    for (const Animation& animation : scene.animations) {
        bytes += kName + 20;
        for (const BoneTrack& track : animation.tracks)
            bytes += 12 + 16 * count(track.positionKeys.count()) + 20 * count(track.rotationKeys.count()) +
                     16 * count(track.scaleKeys.count());
    }
    bytes += 3 * 2 + options.description.size() + options.versionText.size() + 64 + 3;
    return bytes;
}
