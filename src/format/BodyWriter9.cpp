#include "format/BodyWriter9.h"

#include <cstddef>
#include <new>
#include <vector>

#include "format/BodyWriterCommon.h"
#include "scene/Scene.h"

namespace {

// The two words the old layer head carries between kind and flags.
constexpr uint32_t kOldLayerWord1 = 8448;
constexpr uint32_t kOldLayerWord2 = 10497;
// Leading word of the path-carrying kinds in the old layout.
constexpr uint32_t kOldLayerLead = 1;
// Inputs of a layered (kind 4) layer that the old layout has room for.
constexpr int32_t kOldLayerInputs = 3;

void writePathLayerBody(ByteWriter& out, const MaterialLayer& layer) {
    out.u32(kOldLayerLead);
    writeTexturePath(out, layer.path);
}

void writeKind1Values(ByteWriter& out, const MaterialLayer& layer) {
    out.u32(layer.value1);
    out.f32(layer.value2);
    out.f32(layer.value3);
}

void writeLayeredInputs(ByteWriter& out, const MaterialLayer& layer) {
    const int32_t present = layer.subEntryCount() < kOldLayerInputs ? layer.subEntryCount() : kOldLayerInputs;
    uint32_t mask = 0;
    for (int32_t i = 0; i < present; ++i) mask |= 1u << i;
    out.u32(mask);
    for (int32_t i = 0; i < kOldLayerInputs; ++i) {
        if (i < present)
            writeTexturePath(out, layer.subEntries[i].path);
        else
            out.countedString("");
    }
    // A missing input reads as 0, 0 and 1.0.
    for (int32_t i = 0; i < kOldLayerInputs; ++i) out.i32(i < present ? layer.subEntries[i].value1 : 0);
    for (int32_t i = 0; i < kOldLayerInputs; ++i) out.u32(i < present ? layer.subEntries[i].value2 : 0);
    out.zeros(3 * 4);
    for (int32_t i = 0; i < kOldLayerInputs; ++i) out.f32(i < present ? layer.subEntries[i].value3 : 1.0f);
}

void writeSixPaths(ByteWriter& out, const MaterialLayer& layer) {
    std::string_view names[MaterialLayer::kKind5PathCount];
    uint32_t mask = 0;
    for (std::size_t i = 0; i < MaterialLayer::kKind5PathCount; ++i) {
        if (i < layer.paths.size())
            names[i] = textureFileName(boundedText(layer.paths[i].narrow, kNameCapacity));
        if (!names[i].empty()) mask |= 1u << i;
    }
    out.u32(mask);
    for (const std::string_view& name : names) out.countedString(name);
}

void writeOldLayer(ByteWriter& out, const MaterialLayer& layer) {
    out.i32(layer.channel);
    out.i32(layer.kind);
    out.u32(kOldLayerWord1);
    out.u32(kOldLayerWord2);
    out.u32(layer.flags);
    switch (layer.kind) {
        case 1:
            writePathLayerBody(out, layer);
            writeKind1Values(out, layer);
            break;
        case 2:
            writePathLayerBody(out, layer);
            writeKind1Values(out, layer);
            out.f32(layer.value4);
            out.f32(layer.value5);
            out.u32(layer.packedColor);
            out.u32(layer.extraWord);
            break;
        case 3:
            writePathLayerBody(out, layer);
            writeKind1Values(out, layer);
            out.u32(layer.extraWord);
            break;
        case 4:
            writeLayeredInputs(out, layer);
            break;
        case 5:
            writeSixPaths(out, layer);
            break;
        case 6:
        case 7:
            writePathLayerBody(out, layer);
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
            if (layer) writeOldLayer(out, *layer);
    }
}

void writeGroups(ByteWriter& out, QvxHeader& header, const Scene& scene) {
    beginSection(out, header, QvxSection::Groups, static_cast<uint32_t>(scene.groups.count()));
    for (const Group& group : scene.groups) writeName(out, group.name);
}

struct PolygonRef {
    int32_t mesh;
    int32_t polygon;
};

// The polygons of every group, grouped in one pass: for group g, refs[first[g] ..
// first[g + 1]) in mesh order and then polygon order. Polygons whose group index names no
// group are left out. Built per call, so concurrent writers never share it.
struct PolygonsByGroup {
    std::vector<uint32_t> first;
    std::vector<PolygonRef> refs;

    bool build(const Scene& scene) {
        const int32_t groups = scene.groups.count();
        try {
            first.assign(static_cast<std::size_t>(groups) + 1, 0);
            for (const Mesh& mesh : scene.meshes)
                for (const Polygon& polygon : mesh.polygons)
                    if (scene.groups.validIndex(polygon.groupIndex)) ++first[polygon.groupIndex + 1];
            for (int32_t g = 0; g < groups; ++g) first[g + 1] += first[g];
            refs.resize(first[groups]);
        } catch (const std::bad_alloc&) {
            return false;
        }
        std::vector<uint32_t> next(first.begin(), first.end() - 1);
        for (int32_t m = 0; m < scene.meshes.count(); ++m) {
            const Mesh& mesh = scene.meshes[m];
            for (int32_t p = 0; p < mesh.polygons.count(); ++p) {
                const int32_t g = mesh.polygons[p].groupIndex;
                if (scene.groups.validIndex(g)) refs[next[g]++] = {m, p};
            }
        }
        return true;
    }
};

void writePolygon(ByteWriter& out, const Mesh& mesh, const Polygon& polygon, const WriteOptions& options) {
    const int32_t corners = polygon.cornerCount();
    const int32_t channels = polygon.uvChannelCount();
    const std::size_t n = corners > 0 ? static_cast<std::size_t>(corners) : 0;
    const std::size_t m = channels > 0 ? static_cast<std::size_t>(channels) : 0;
    unsigned char* p = out.claim(16 + 4 * n + 12 * n * m);
    if (p == nullptr) return;
    p = ByteWriter::put32(p, corners);
    p = ByteWriter::put32(p, channels);
    p = ByteWriter::put32(p, writtenMaterialIndex(polygon, options));
    p = ByteWriter::put32(p, polygon.fourthField);
    const int32_t* vertexIndices = polygon.vertexIndices();
    for (std::size_t k = 0; k < n; ++k) p = ByteWriter::put32(p, vertexIndices[k]);
    for (std::size_t j = 0; j < m; ++j) {
        const UVLookup lookup(mesh, polygon, static_cast<int32_t>(j), options);
        for (std::size_t k = 0; k < n; ++k) {
            const UVValue uv = lookup.at(static_cast<int32_t>(k));
            p = ByteWriter::put32(p, uv.u);
            p = ByteWriter::put32(p, uv.v);
            p = ByteWriter::put32(p, 0.0f);
        }
    }
}

bool writeMeshes(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    PolygonsByGroup byGroup;
    if (!byGroup.build(scene)) return false;
    const int32_t groups = scene.groups.count();
    beginSection(out, header, QvxSection::Meshes, static_cast<uint32_t>(groups));
    for (int32_t g = 0; g < groups && out.ok(); ++g) {
        out.i32(g);
        out.u32(byGroup.first[g + 1] - byGroup.first[g]);
        for (uint32_t r = byGroup.first[g]; r < byGroup.first[g + 1]; ++r) {
            const PolygonRef ref = byGroup.refs[r];
            const Mesh& mesh = scene.meshes[ref.mesh];
            writePolygon(out, mesh, mesh.polygons[ref.polygon], options);
        }
    }
    return true;
}

void writeBones(ByteWriter& out, QvxHeader& header, const Scene& scene, const WriteOptions& options) {
    const uint32_t count = writtenBoneCount(scene, options);
    beginSection(out, header, QvxSection::Bones, count);
    for (uint32_t i = 0; i < count; ++i) {
        const Bone& bone = scene.bones[static_cast<int32_t>(i)];
        writeName(out, bone.name);
        out.i32(bone.parentIndex);
        writeVec3(out, bone.position);
        writeQuat(out, bone.rotation);
        writeVec3(out, bone.scale);
        writeColor(out, bone.color);
    }
}

}  // namespace

int writeBody9(const Scene& scene, const WriteOptions& options, ByteWriter& out, QvxHeader& header) {
    if (out.size() != 0) return 0;  // section offsets are file positions
    out.reserve(bodySizeHint(scene, options));
    beginHeader(out, header, QVX_VERSION_V2X, options);
    // This version carries no lights or cameras, whatever the options say.
    beginSection(out, header, QvxSection::Lights, 0);
    beginSection(out, header, QvxSection::Cameras, 0);
    writeMaterials(out, header, scene, options);
    writeGroups(out, header, scene);
    writeVertexSection(out, header, scene, options);
    if (!out.ok()) return 0;
    if (!writeMeshes(out, header, scene, options)) return 0;
    writeBones(out, header, scene, options);
    writeAnimationSection(out, header, scene, options);
    writeInfoStringSection(out, header, options);
    if (!out.ok()) return 0;
    completeHeader(out, header);
    return out.ok() ? 1 : 0;
}
