#include "format/BodyWriter31.h"

#include "format/BodyWriterCommon.h"
#include "scene/Scene.h"

#include <cstdio>

namespace {

// Every file of this version has exactly two UV sets, filled from the meshes' polygons.
constexpr int32_t kUVSetsWritten = 2;
constexpr uint32_t kLightTag = 1600;

void writeLights(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const uint32_t count = options.export_lights ? static_cast<uint32_t>(scene.lights.count()) : 0;
    beginSection(out, header, QvxSection::Lights, count);
    for (uint32_t i = 0; i < count; ++i) {
        const Light& light = scene.lights[static_cast<int32_t>(i)];
        writeName(out, light.name);
        out.u32(kLightTag);
        out.u32(light.kind);
        writeTransform(out, light.transform);
        out.f32(light.param0);
        out.f32(light.coneAngle);
        out.f32(0.0f);  // param2
        out.f32(1.0f);  // param3
        out.f32(light.intensity);
        writeColor(out, light.color);
        out.f32(light.param4);
        out.f32(light.param5);
    }
}

void writeCameras(ByteWriter& out, QvxHeader& header, const Scene& scene) {
    beginSection(out, header, QvxSection::Cameras, static_cast<uint32_t>(scene.cameras.count()));
    for (const Camera& camera : scene.cameras) {
        writeName(out, camera.name);
        out.u32(0);  // tag
        out.u32(camera.kind);
        writeTransform(out, camera.transform);
        out.f32(camera.fieldOfView);
        out.f32(camera.nearClip);
        out.f32(camera.farClip);
    }
}

// The three values that follow the path of kinds 1, 2 and 3.
void writeKind1Values(ByteWriter& out, const MaterialLayer& layer) {
    out.u32(layer.value1);
    out.f32(layer.value2);
    out.f32(layer.value3);
}

void writeLayer(ByteWriter& out, const MaterialLayer& layer) {
    out.i32(layer.channel);
    out.i32(layer.kind);
    out.u32(layer.flags);
    writeVec3(out, layer.offset);
    writeVec3(out, layer.repeat);
    writeVec3(out, layer.rotation);
    switch (layer.kind) {
        case 1:
            writeTexturePath(out, layer.path);
            writeKind1Values(out, layer);
            break;
        case 2:
            writeTexturePath(out, layer.path);
            writeKind1Values(out, layer);
            out.f32(layer.value4);
            out.f32(layer.value5);
            out.u32(layer.packedColor);
            out.u32(layer.extraWord);
            break;
        case 3:
            writeTexturePath(out, layer.path);
            writeKind1Values(out, layer);
            out.u32(layer.extraWord);
            break;
        case 4:
            out.i32(layer.subEntryCount());
            for (const LayerSubEntry& entry : layer.subEntries) {
                writeTexturePath(out, entry.path);
                out.i32(entry.value1);
                out.u32(entry.value2);
                out.f32(entry.value3);
            }
            break;
        case 5:
            for (std::size_t i = 0; i < MaterialLayer::kKind5PathCount; ++i) {
                if (i < layer.paths.size())
                    writeTexturePath(out, layer.paths[i]);
                else
                    out.countedString("");
            }
            break;
        case 6:
        case 7:
            writeTexturePath(out, layer.path);
            out.u32(layer.value1);
            break;
        default:
            break;  // other kinds carry nothing after the head
    }
}

void writeMaterials(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const uint32_t count = writtenMaterialCount(scene, options);
    beginSection(out, header, QvxSection::Materials, count);
    for (uint32_t i = 0; i < count && out.ok(); ++i) {
        const Material& material = scene.materials[static_cast<int32_t>(i)];
        writeName(out, material.name);
        writeMaterialBlock(out, material);
        for (const auto& layer : material.layers)
            if (layer) writeLayer(out, *layer);
    }
}

// The block every group gets: identity rotation and 4x4 matrix, unit scale, zero
// translation, quaternion and Euler angles.
Transform fixedGroupTransform() {
    Transform t;
    t.quaternion = {0.0f, 0.0f, 0.0f, 0.0f};
    return t;
}

void writeGroups(ByteWriter& out, QvxHeader& header, const Scene& scene) {
    const Transform fixed = fixedGroupTransform();
    beginSection(out, header, QvxSection::Groups, static_cast<uint32_t>(scene.groups.count()));
    for (const Group& group : scene.groups) {
        writeName(out, group.name);
        out.u32(0);   // flags
        out.i32(-1);  // parentIndex
        writeTransform(out, fixed);
    }
}

void writeUVSet(ByteWriter& out, const Scene& scene, const WriteOptions& options, int32_t channel,
                uint32_t cornerTotal) {
    char name[16];
    std::snprintf(name, sizeof name, "UVSet%d", static_cast<int>(channel));
    out.countedString(name);
    out.u32(cornerTotal);
    for (const Mesh& mesh : scene.meshes) {
        for (const Polygon& polygon : mesh.polygons) {
            const int32_t corners = polygon.cornerCount();
            if (corners <= 0) continue;
            unsigned char* p = out.claim(12 * static_cast<std::size_t>(corners));
            if (p == nullptr) return;
            const UVLookup lookup(mesh, polygon, channel, options);
            for (int32_t k = 0; k < corners; ++k) {
                const UVValue uv = lookup.at(k);
                p = ByteWriter::put32(p, uint32_t{0});
                p = ByteWriter::put32(p, uv.u);
                p = ByteWriter::put32(p, uv.v);
            }
        }
    }
    out.u32(0);  // triangle count
}

uint32_t totalCorners(const Scene& scene) {
    uint64_t total = 0;
    for (const Mesh& mesh : scene.meshes)
        for (const Polygon& polygon : mesh.polygons) total += static_cast<uint64_t>(polygon.cornerCount());
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

void writeUVSets(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const uint32_t cornerTotal = totalCorners(scene);
    beginSection(out, header, QvxSection::UVSets, kUVSetsWritten);
    for (int32_t channel = 0; channel < kUVSetsWritten; ++channel)
        writeUVSet(out, scene, options, channel, cornerTotal);
}

void writeMeshes(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    beginSection(out, header, QvxSection::Meshes, static_cast<uint32_t>(scene.meshes.count()));
    // Corner k of a polygon finds its UV coordinate at base + k in both UV sets.
    uint32_t base = 0;
    for (const Mesh& mesh : scene.meshes) {
        out.i32(mesh.polygons.count());
        for (const Polygon& polygon : mesh.polygons) {
            const int32_t corners = polygon.cornerCount();
            const int32_t channels = polygon.uvChannelCount();
            const std::size_t n = corners > 0 ? static_cast<std::size_t>(corners) : 0;
            const std::size_t m = channels > 0 ? static_cast<std::size_t>(channels) : 0;
            unsigned char* p = out.claim(20 + 8 * n + 8 * n * m);
            if (p == nullptr) return;
            p = ByteWriter::put32(p, corners);
            p = ByteWriter::put32(p, channels);
            p = ByteWriter::put32(p, polygon.groupIndex);
            p = ByteWriter::put32(p, writtenMaterialIndex(polygon, options));
            p = ByteWriter::put32(p, polygon.fourthField);
            const int32_t* vertexIndices = polygon.vertexIndices();
            for (std::size_t k = 0; k < n; ++k) {
                p = ByteWriter::put32(p, vertexIndices[k]);
                p = ByteWriter::put32(p, int32_t{-1});
            }
            for (std::size_t j = 0; j < m; ++j) {
                for (std::size_t k = 0; k < n; ++k) {
                    p = ByteWriter::put32(p, base + static_cast<uint32_t>(k));
                    p = ByteWriter::put32(p, int32_t{-1});
                }
            }
            base += static_cast<uint32_t>(n);
        }
    }
}

void writeBones(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const uint32_t count = writtenBoneCount(scene, options);
    beginSection(out, header, QvxSection::Bones, count);
    for (uint32_t i = 0; i < count; ++i) {
        const Bone& bone = scene.bones[static_cast<int32_t>(i)];
        writeName(out, bone.name);
        out.i32(bone.parentIndex);
        Transform block;
        block.translation = bone.position;
        block.scale = bone.scale;
        block.quaternion = bone.rotation;
        writeTransform(out, block);
        writeColor(out, bone.color);
    }
}

}  // namespace

int writeBody31(const Scene& scene, const WriteOptions& options, ByteWriter& out, QvxHeader& header) {
    if (out.size() != 0) return 0;  // section offsets are file positions
    out.reserve(bodySizeHint(scene, options));
    beginHeader(out, header, QVX_VERSION_CURRENT, options);
    writeLights(out, header, scene, options);
    writeCameras(out, header, scene);
    writeMaterials(out, header, scene, options);
    writeGroups(out, header, scene);
    writeVertexSection(out, header, scene, options);
    if (!out.ok()) return 0;
    beginSection(out, header, QvxSection::Triangles, 0);
    writeUVSets(out, header, scene, options);
    if (!out.ok()) return 0;
    writeMeshes(out, header, scene, options);
    writeBones(out, header, scene, options);
    writeAnimationSection(out, header, scene, options);
    writeInfoStringSection(out, header, options);
    if (!out.ok()) return 0;
    completeHeader(out, header);
    return out.ok() ? 1 : 0;
}
