#include "format/RecordReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "format/FileSystem.h"

namespace {

static_assert(sizeof(UVCoord) == 12, "UV coordinates are read as 12-byte records");
static_assert(sizeof(PositionKey) == 16, "position keys are read as 16-byte records");
static_assert(sizeof(ScaleKey) == 16, "scale keys are read as 16-byte records");
static_assert(sizeof(Vec3) == 12 && sizeof(Color) == 16 && sizeof(Quat) == 16, "packed value types");

constexpr int32_t kOldKind4SubEntries = 3;
constexpr int32_t kDefaultKind4SubEntries = 3;
constexpr uint32_t kLayerCreationFlags = MaterialLayer::kCreationFlags;

int32_t asIndex(uint32_t word) {
    return static_cast<int32_t>(word);
}

// Narrow text of the stored bytes up to the first NUL.
std::string_view narrowOf(const unsigned char* p, std::size_t length) {
    std::string_view text(reinterpret_cast<const char*>(p), length);
    return text.substr(0, text.find('\0'));
}

// UTF-16LE units of the stored bytes up to the first NUL unit (a trailing odd byte is ignored).
std::u16string wideOf(const unsigned char* p, std::size_t length) {
    std::u16string text;
    text.reserve(length / 2);
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        const char16_t unit = static_cast<char16_t>(p[i] | p[i + 1] << 8);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

}  // namespace

RecordReader::RecordReader(ReadCursor& cursor, Scene& scene, uint32_t version, VertexLayout vertexLayout,
                           const ReadSettings& settings, StoragePlan& plan)
    : cursor_(cursor),
      scene_(scene),
      traits_(VersionTraits::of(version)),
      vertexLayout_(vertexLayout),
      settings_(settings),
      plan_(plan) {}

// ---------------------------------------------------------------------------------------
// Strings and texture paths.

template <bool kFill>
bool RecordReader::name(RecordName& out) {
    const unsigned char* p = nullptr;
    std::size_t length = 0;
    if (!cursor_.countedBytes(p, length)) return false;
    if constexpr (kFill) {
        if (traits_.utf16Strings) {
            out.setWide(wideOf(p, length));
        } else {
            out.set(narrowOf(p, length));
        }
    }
    return true;
}

template <bool kFill>
bool RecordReader::text(std::string& out) {
    const unsigned char* p = nullptr;
    std::size_t length = 0;
    if (!cursor_.countedBytes(p, length)) return false;
    if constexpr (kFill) {
        if (traits_.utf16Strings) {
            out = wideToNarrow(wideOf(p, length));
        } else {
            out.assign(narrowOf(p, length));
        }
    }
    return true;
}

bool RecordReader::textureExists(const std::string& stored) const {
    return qvxfs::fileExists(stored, settings_.sceneFolder);
}

std::string RecordReader::resolveTexture(const std::string& stored, bool mayKeep) const {
    // An empty path means "no texture"; rebasing it would turn it into the folder itself.
    if (stored.empty()) return stored;
    if (mayKeep) return stored;
    const std::string_view name = qvxfs::lastComponent(stored);
    if (name.empty()) return std::string();
    return qvxfs::joinFolder(settings_.sceneFolder, name);
}

template <bool kFill>
bool RecordReader::texturePath(RecordName& out) {
    std::string stored;
    if (!text<kFill>(stored)) return false;
    if constexpr (kFill) {
        const bool keep = traits_.keepExistingTextures && textureExists(stored);
        out.set(resolveTexture(stored, keep));
    }
    return true;
}

template <bool kFill>
bool RecordReader::sixPaths(MaterialLayer& layer, bool together) {
    std::string stored[MaterialLayer::kKind5PathCount];
    for (auto& s : stored) {
        if (!text<kFill>(s)) return false;
    }
    if constexpr (kFill) {
        if (layer.paths.size() < MaterialLayer::kKind5PathCount)
            layer.paths.resize(MaterialLayer::kKind5PathCount);
        bool keepAll = traits_.keepExistingTextures;
        if (together) {
            for (const auto& s : stored) keepAll = keepAll && textureExists(s);
        }
        for (int i = 0; i < MaterialLayer::kKind5PathCount; ++i) {
            const bool keep = together ? keepAll : traits_.keepExistingTextures && textureExists(stored[i]);
            layer.paths[static_cast<std::size_t>(i)].set(resolveTexture(stored[i], keep));
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Small value groups.

template <bool kFill>
bool RecordReader::vec3(Vec3& out) {
    return cursor_.f32s(&out.x, 3);
}

template <bool kFill>
bool RecordReader::color(Color& out) {
    return cursor_.f32s(&out.r, 4);
}

template <bool kFill>
bool RecordReader::transform(Transform& out) {
    float values[Transform::kFloatCount];
    if (!cursor_.f32s(values, Transform::kFloatCount)) return false;
    if constexpr (kFill) out.fromFloats(values);
    return true;
}

// ---------------------------------------------------------------------------------------
// Lights, cameras, groups, bones.

template <bool kFill>
bool RecordReader::light(Light& l) {
    return cursor_.u32(l.tag) && cursor_.u32(l.kind) && transform<kFill>(l.transform) &&
           cursor_.f32(l.param0) && cursor_.f32(l.coneAngle) && cursor_.f32(l.param2) &&
           cursor_.f32(l.param3) && cursor_.f32(l.intensity) && color<kFill>(l.color) &&
           cursor_.f32(l.param4) && cursor_.f32(l.param5);
}

template <bool kFill>
bool RecordReader::oldLight(Light& l) {
    return cursor_.u32(l.kind) && vec3<kFill>(l.transform.translation) && color<kFill>(l.color);
}

template <bool kFill>
bool RecordReader::camera(Camera& c) {
    return cursor_.u32(c.tag) && cursor_.u32(c.kind) && transform<kFill>(c.transform) &&
           cursor_.f32(c.fieldOfView) && cursor_.f32(c.nearClip) && cursor_.f32(c.farClip);
}

template <bool kFill>
bool RecordReader::oldCamera(Camera& c) {
    return cursor_.u32(c.kind) && cursor_.f32s(c.transform.rotationMatrix.data(), 9) &&
           vec3<kFill>(c.transform.translation) && cursor_.f32(c.fieldOfView) && cursor_.f32(c.nearClip) &&
           cursor_.f32(c.farClip);
}

template <bool kFill>
bool RecordReader::group(Group& g) {
    return cursor_.u32(g.flags) && cursor_.i32(g.parentIndex) && transform<kFill>(g.transform);
}

template <bool kFill>
bool RecordReader::bone(Bone& b) {
    Transform rest;
    if (!cursor_.i32(b.parentIndex) || !transform<kFill>(rest) || !color<kFill>(b.color)) return false;
    if constexpr (kFill) b.setRestTransform(rest);
    return true;
}

template <bool kFill>
bool RecordReader::oldBone(Bone& b) {
    if (!cursor_.i32(b.parentIndex) || !vec3<kFill>(b.position) || !cursor_.f32s(&b.rotation.x, 4))
        return false;
    if (traits_.boneScale) {
        if (!vec3<kFill>(b.scale)) return false;
    } else {
        b.scale = Vec3{1.0f, 1.0f, 1.0f};
    }
    return color<kFill>(b.color);
}

// ---------------------------------------------------------------------------------------
// Materials.

template <bool kFill>
bool RecordReader::material(Material& m) {
    if (!name<kFill>(m.name)) return false;
    if (!cursor_.u32(m.flags) || !color<kFill>(m.diffuse) || !color<kFill>(m.ambient) ||
        !color<kFill>(m.color3) || !color<kFill>(m.specular) || !color<kFill>(m.color5) ||
        !cursor_.f32(m.shininess) || !cursor_.f32(m.opacity)) {
        return false;
    }
    int32_t layerCount;
    const std::size_t minLayer = traits_.newLayerLayout ? kLayerHeadBytes : kOldLayerHeadBytes;
    if (!cursor_.count(layerCount, minLayer, "material layers")) return false;
    if constexpr (kFill) {
        if (layerCount > 0 && !m.layers.allocate(layerCount))
            return cursor_.fail("memory for material layers");
    }
    for (int32_t slot = 0; slot < layerCount; ++slot) {
        if (!(traits_.newLayerLayout ? layer<kFill>(m, slot) : oldLayer<kFill>(m, slot))) return false;
    }
    return true;
}

template <bool kFill>
bool RecordReader::layer(Material& m, int32_t slot) {
    int32_t channel, kind;
    if (!cursor_.i32(channel) || !cursor_.i32(kind)) return false;
    MaterialLayer scratch(channel, kind);
    MaterialLayer* target = &scratch;
    if constexpr (kFill) {
        // A second layer on a channel that is already taken is read and dropped.
        if (MaterialLayer* added = m.addLayer(slot, channel, kind)) target = added;
    }
    MaterialLayer& l = *target;
    if (!cursor_.u32(l.flags) || !vec3<kFill>(l.offset) || !vec3<kFill>(l.repeat) ||
        !vec3<kFill>(l.rotation)) {
        return false;
    }
    return kindBody<kFill>(l, false);
}

template <bool kFill>
bool RecordReader::oldLayer(Material& m, int32_t slot) {
    int32_t channel, kind;
    uint32_t unused[2], flags;
    if (!cursor_.i32(channel) || !cursor_.i32(kind) || !cursor_.words(unused, 2) || !cursor_.u32(flags)) {
        return false;
    }
    MaterialLayer scratch(channel, kind);
    MaterialLayer* target = &scratch;
    if constexpr (kFill) {
        if (MaterialLayer* added = m.addLayer(slot, channel, kind)) target = added;
    }
    target->flags = flags | kLayerCreationFlags;
    return kindBody<kFill>(*target, true);
}

template <bool kFill>
bool RecordReader::kindBody(MaterialLayer& l, bool oldLayout) {
    const int32_t kind = l.kind;
    const bool known = kind >= 1 && kind <= 7;
    if (!known) return true;  // other kinds store nothing after the head
    // The old layout leads every known kind with a word that replaces the flags.
    if (oldLayout && !cursor_.u32(l.flags)) return false;
    switch (kind) {
        case 1:
        case 2:
        case 3: {
            if (!texturePath<kFill>(l.path) || !cursor_.u32(l.value1) || !cursor_.f32(l.value2) ||
                !cursor_.f32(l.value3)) {
                return false;
            }
            if (kind == 2) {
                return cursor_.f32(l.value4) && cursor_.f32(l.value5) && cursor_.u32(l.packedColor) &&
                       cursor_.u32(l.extraWord);
            }
            if (kind == 3) return cursor_.u32(l.extraWord);
            return true;
        }
        case 4: {
            if (oldLayout) {
                if constexpr (kFill) {
                    if (!l.subEntries.allocate(kOldKind4SubEntries))
                        return cursor_.fail("memory for sub-entries");
                }
                LayerSubEntry scratch[kOldKind4SubEntries];
                LayerSubEntry* entries = kFill ? l.subEntries.data() : scratch;
                for (int i = 0; i < kOldKind4SubEntries; ++i) {
                    if (!texturePath<kFill>(entries[i].path)) return false;
                }
                uint32_t words[12];
                if (!cursor_.words(words, 12)) return false;
                for (int i = 0; i < kOldKind4SubEntries; ++i) {
                    entries[i].value1 = asIndex(words[i]);
                    entries[i].value2 = words[3 + i];
                    std::memcpy(&entries[i].value3, &words[9 + i], sizeof(float));
                }
                return true;
            }
            // A count below 1 (zero or negative) stores no entries: the layer gets its three
            // default inputs and the record goes on, as the files that carry one expect.
            const std::size_t at = cursor_.position();
            int32_t count;
            if (!cursor_.i32(count)) return false;
            if (count < 1) {
                count = 0;
            } else if (!cursor_.fits(static_cast<uint64_t>(count), kSubEntryBytes, "sub-entries", at)) {
                return false;
            }
            if constexpr (kFill) {
                if (!l.subEntries.allocate(count > 0 ? count : kDefaultKind4SubEntries)) {
                    return cursor_.fail("memory for sub-entries");
                }
            }
            LayerSubEntry scratch;
            for (int32_t i = 0; i < count; ++i) {
                LayerSubEntry& e = kFill ? l.subEntries[i] : scratch;
                if (!texturePath<kFill>(e.path) || !cursor_.i32(e.value1) || !cursor_.u32(e.value2) ||
                    !cursor_.f32(e.value3)) {
                    return false;
                }
            }
            return true;
        }
        case 5:
            return sixPaths<kFill>(l, !oldLayout);
        default:  // 6 and 7
            return texturePath<kFill>(l.path) && cursor_.u32(l.value1);
    }
}

// ---------------------------------------------------------------------------------------
// Geometry.

template <bool kFill>
bool RecordReader::vertex(Vertex& v) {
    if (!vec3<kFill>(v.position)) return false;
    if (vertexLayout_.normal && !cursor_.skip(12)) return false;
    if (vertexLayout_.extraVectors && !cursor_.skip(24)) return false;
    if (vertexLayout_.color && !color<kFill>(v.color)) return false;
    if (!vertexLayout_.weights) return true;
    int32_t count;
    if (!cursor_.count(count, 8, "vertex weights")) return false;
    if constexpr (kFill) {
        if (count == 0) {
            v.weights.clear();
            return true;
        }
        if (!v.weights.allocateIn(scene_.weightPool, count)) return cursor_.fail("memory for vertex weights");
        // The count check covered the pairs: they are split into the weights in one view.
        const unsigned char* data = nullptr;
        if (!cursor_.view(static_cast<std::size_t>(count) * 8, data)) return false;
        for (VertexWeight& w : v.weights) {
            w.boneIndex = static_cast<int32_t>(qvxLoadU32(data));
            w.weight = qvxLoadF32(data + 4);
            data += 8;
        }
        return true;
    } else {
        plan_.weights += static_cast<std::size_t>(count);
        return cursor_.skip(static_cast<std::size_t>(count) * 8);
    }
}

template <bool kFill>
bool RecordReader::triangle(Triangle& t) {
    return cursor_.u32(t.firstWord) && cursor_.i32(t.groupIndex) && cursor_.i32(t.materialIndex) &&
           cursor_.words(t.vertexIndices, 3) && cursor_.words(t.secondIndices, 3) && cursor_.u32(t.finalWord);
}

template <bool kFill>
bool RecordReader::uvSet(UVSet& set) {
    if (!name<kFill>(set.name)) return false;
    int32_t coordCount;
    if (!cursor_.count(coordCount, kUVCoordBytes, "UV coordinates")) return false;
    if constexpr (kFill) {
        if (coordCount > 0) {
            if (!set.coords.allocateForOverwrite(coordCount))
                return cursor_.fail("memory for UV coordinates");
            if (!cursor_.bytes(set.coords.data(), static_cast<std::size_t>(coordCount) * kUVCoordBytes))
                return false;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "UV coordinates are copied in the file's byte order"
#endif
        } else {
            set.coords.clear();
        }
    } else {
        if (!cursor_.skip(static_cast<std::size_t>(coordCount) * kUVCoordBytes)) return false;
    }
    int32_t triangleCount;
    if (!cursor_.count(triangleCount, kTriangleBytes, "UV triangles")) return false;
    if constexpr (kFill) {
        if (triangleCount > 0) {
            if (!set.triangles.allocate(triangleCount)) return cursor_.fail("memory for UV triangles");
        } else {
            set.triangles.clear();
        }
    }
    Triangle scratch;
    for (int32_t i = 0; i < triangleCount; ++i) {
        if (!triangle<kFill>(kFill ? set.triangles[i] : scratch)) return false;
    }
    return true;
}

template <bool kFill>
bool RecordReader::polygon(Mesh& mesh, Polygon& p, uint32_t& runningCorner) {
    int32_t corners, channels;
    const std::size_t at = cursor_.position();
    if (!cursor_.i32(corners) || !cursor_.i32(channels)) return false;
    if (corners < 0 || channels < 0) return cursor_.failAt(at, "non-negative corner and UV channel counts");
    if (!cursor_.i32(p.groupIndex) || !cursor_.i32(p.materialIndex) || !cursor_.u32(p.fourthField))
        return false;
    const uint64_t perCorner = 8ull * (1ull + static_cast<uint64_t>(channels));
    if (!cursor_.fits(static_cast<uint64_t>(corners), perCorner, "polygon corners", at)) return false;
    // Every corner takes at least 8 of the file's bytes, so the total stays far below 2^32.
    runningCorner += static_cast<uint32_t>(corners);
    const std::size_t cornerBytes = static_cast<std::size_t>(corners) * 8;
    const unsigned char* data = nullptr;
    if constexpr (kFill) {
        // A polygon of this layout holds two UV slots whatever the number of UV sets (its
        // indices may name sets that a later section adds); further channels are read past.
        const int32_t stored = std::min(channels, Polygon::kDefaultUVChannels);
        p.releaseCorners();
        if (!p.createCornersIn(mesh.cornerPool, corners, stored))
            return cursor_.fail("memory for polygon corners");
        // The cursor checked the span; the corner pairs are split into the polygon's arrays.
        if (!cursor_.view(cornerBytes, data)) return false;
        int32_t* vertices = p.vertexIndices();
        int32_t* normals = p.normalIndices();
        for (int32_t k = 0; k < corners; ++k) {
            vertices[k] = asIndex(qvxLoadU32(data + 8 * k));
            normals[k] = asIndex(qvxLoadU32(data + 8 * k + 4));
        }
        for (int32_t j = 0; j < stored; ++j) {
            if (!cursor_.view(cornerBytes, data)) return false;
            PolygonUVs uvs = p.uvs(j);
            for (int32_t k = 0; k < corners; ++k) {
                uvs.uvIndices[k] = asIndex(qvxLoadU32(data + 8 * k));
                uvs.secondIndices[k] = asIndex(qvxLoadU32(data + 8 * k + 4));
            }
        }
        // Channels the scene has no UV set for are passed over in one step (the count check
        // above covered them), so a huge channel count of empty polygons costs nothing.
        return cursor_.skip(cornerBytes * static_cast<std::size_t>(channels - stored));
    } else {
        (void)data;
        (void)mesh;
        if (!plan_.meshCorners.empty()) {
            plan_.meshCorners.back() +=
                Polygon::cornerStorage(corners, std::min(channels, Polygon::kDefaultUVChannels));
        }
        return cursor_.skip(cornerBytes * (1 + static_cast<std::size_t>(channels)));
    }
}

template <bool kFill>
bool RecordReader::oldPolygon(Mesh& mesh, Polygon& p, int32_t groupValue, uint32_t& runningCorner) {
    int32_t corners, channels = 1;
    const std::size_t at = cursor_.position();
    if (!cursor_.i32(corners)) return false;
    if (traits_.uvChannelCount && !cursor_.i32(channels)) return false;
    if (corners < 0 || channels < 0) return cursor_.failAt(at, "non-negative corner and UV channel counts");
    if (!cursor_.i32(p.materialIndex) || !cursor_.u32(p.fourthField)) return false;
    const uint64_t uvBytes = traits_.twoFloatUVs ? 8 : 12;
    const uint64_t perCorner = 4 + uvBytes * static_cast<uint64_t>(channels);
    if (!cursor_.fits(static_cast<uint64_t>(corners), perCorner, "polygon corners", at)) return false;
    if (static_cast<uint64_t>(runningCorner) + static_cast<uint64_t>(corners) > 0x7FFFFFFFu) {
        return cursor_.failAt(at, "fewer than 2^31 polygon corners in all");
    }
    const uint32_t first = runningCorner;
    runningCorner += static_cast<uint32_t>(corners);
    if constexpr (kFill) {
        p.groupIndex = groupValue;
        const int32_t stored = std::min(channels, scene_.uvSets.count());
        p.releaseCorners();
        if (!p.createCornersIn(mesh.cornerPool, corners, stored))
            return cursor_.fail("memory for polygon corners");
        if (!cursor_.words(p.vertexIndices(), static_cast<std::size_t>(corners))) return false;
        for (int32_t j = 0; j < stored; ++j) {
            UVCoordArray& coords = scene_.uvSets[j].coords;
            PolygonUVs uvs = p.uvs(j);
            for (int32_t k = 0; k < corners; ++k) {
                float uv[3];
                if (!cursor_.f32s(uv, static_cast<std::size_t>(uvBytes / 4))) return false;
                const int64_t position = static_cast<int64_t>(first) + k;
                if (UVCoord* c = coords.get(position)) {
                    c->u = uv[0];
                    c->v = uv[1];
                }
                uvs.uvIndices[k] = static_cast<int32_t>(position);
            }
        }
        return cursor_.skip(static_cast<std::size_t>(corners) * static_cast<std::size_t>(uvBytes) *
                            static_cast<std::size_t>(channels - stored));
    } else {
        (void)groupValue;
        (void)mesh;
        // The UV sets are sized only after this pass; their declared count stands in.
        const int64_t sets = std::max<int64_t>(scene_.counts.uvSets, Polygon::kDefaultUVChannels);
        if (!plan_.meshCorners.empty()) {
            plan_.meshCorners.back() +=
                Polygon::cornerStorage(corners, static_cast<int32_t>(std::min<int64_t>(channels, sets)));
        }
        return cursor_.skip(static_cast<std::size_t>(corners) * static_cast<std::size_t>(perCorner));
    }
}

template <bool kFill>
bool RecordReader::polygons(Mesh& mesh, bool oldLayout, int32_t groupValue, uint32_t& runningCorner) {
    int32_t count;
    if (!cursor_.count(count, oldLayout ? kOldPolygonBytes : kPolygonBytes, "polygons")) return false;
    if constexpr (kFill) {
        if (count > 0) {
            if (!mesh.polygons.allocate(count)) return cursor_.fail("memory for polygons");
        } else {
            mesh.polygons.clear();
        }
        if (plan_.nextMesh < plan_.meshCorners.size() &&
            !mesh.cornerPool.reserve(plan_.meshCorners[plan_.nextMesh++])) {
            return cursor_.fail("memory for polygon corners");
        }
    } else {
        try {
            plan_.meshCorners.push_back(0);
        } catch (const std::bad_alloc&) {
            return cursor_.fail("memory for the polygon plan");
        }
    }
    Polygon scratch;
    for (int32_t i = 0; i < count; ++i) {
        Polygon& p = kFill ? mesh.polygons[i] : scratch;
        const bool ok = oldLayout ? oldPolygon<kFill>(mesh, p, groupValue, runningCorner)
                                  : polygon<kFill>(mesh, p, runningCorner);
        if (!ok) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Animations.

template <bool kFill>
bool RecordReader::animationHead(Animation& a, int32_t& trackCount) {
    if (!name<kFill>(a.name) || !cursor_.u32(a.flags) || !cursor_.f32(a.startTick) ||
        !cursor_.f32(a.tickCount) || !cursor_.f32(a.fps)) {
        return false;
    }
    return cursor_.count(trackCount, kTrackBytes, "bone tracks");
}

template <bool kFill>
bool RecordReader::tracks(Animation& a, int32_t count) {
    if (!cursor_.fits(static_cast<uint64_t>(count), kTrackBytes, "bone tracks", cursor_.position()))
        return false;
    BoneTrack scratch;
    for (int32_t t = 0; t < count; ++t) {
        // Tracks beyond the bones of the scene have nowhere to go and are read past.
        BoneTrack& track = (kFill && t < a.tracks.count()) ? a.tracks[t] : scratch;
        if (!boneTrack<kFill>(track)) return false;
    }
    return true;
}

template <bool kFill>
bool RecordReader::boneTrack(BoneTrack& track) {
    int32_t count;
    // Position keys: time and vector, stored as in memory.
    if (!cursor_.count(count, 16, "position keys")) return false;
    if (kFill && count > 0) {
        if (!track.positionKeys.allocateForOverwrite(count)) return cursor_.fail("memory for position keys");
        if (!cursor_.f32s(&track.positionKeys.data()->time, static_cast<std::size_t>(count) * 4))
            return false;
    } else if (!cursor_.skip(static_cast<std::size_t>(count) * 16)) {
        return false;
    }
    // Rotation keys: time and quaternion (the Euler angles are not stored).
    if (!cursor_.count(count, 20, "rotation keys")) return false;
    if (kFill && count > 0) {
        if (!track.rotationKeys.allocateForOverwrite(count)) return cursor_.fail("memory for rotation keys");
        for (RotationKey& key : track.rotationKeys) {
            if (!cursor_.f32(key.time) || !cursor_.f32s(&key.value.x, 4)) return false;
            key.euler = {0.0f, 0.0f, 0.0f};  // filled by the host-side sampler, not stored
        }
    } else if (!cursor_.skip(static_cast<std::size_t>(count) * 20)) {
        return false;
    }
    if (!cursor_.count(count, 16, "scale keys")) return false;
    if (kFill && count > 0) {
        if (!track.scaleKeys.allocateForOverwrite(count)) return cursor_.fail("memory for scale keys");
        if (!cursor_.f32s(&track.scaleKeys.data()->time, static_cast<std::size_t>(count) * 4)) return false;
    } else if (!cursor_.skip(static_cast<std::size_t>(count) * 16)) {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Allocation between the passes.

bool RecordReader::allocateScene(bool oldUVLayout) {
    SceneCounts& c = scene_.counts;
    if (c.lights == 0 && c.cameras == 0 && c.materials == 0 && c.groups == 0 && c.vertices == 0 &&
        c.meshes == 0 && c.bones == 0 && c.animations == 0) {
        return cursor_.fail("at least one light, camera, material, group, vertex, mesh, bone or animation");
    }
    if (c.groups == 0) c.groups = 1;
    auto sized = [](auto& array, uint32_t n) {
        return n == 0 || array.allocate(static_cast<int32_t>(n)) != 0;
    };
    if (!sized(scene_.lights, c.lights) || !sized(scene_.cameras, c.cameras) ||
        !sized(scene_.materials, c.materials) || !sized(scene_.groups, c.groups) ||
        !sized(scene_.vertices, c.vertices) || !sized(scene_.triangles, c.triangles)) {
        return cursor_.fail("memory for the scene arrays");
    }
    if (c.uvSets == 0) c.uvSets = 2;
    if (!scene_.uvSets.allocate(static_cast<int32_t>(c.uvSets)))
        return cursor_.fail("memory for the UV sets");
    if (oldUVLayout && scene_.legacyUVCount > 0) {
        for (UVSet& set : scene_.uvSets) {
            if (!set.coords.allocate(static_cast<int32_t>(scene_.legacyUVCount))) {
                return cursor_.fail("memory for UV coordinates");
            }
        }
    }
    if (!scene_.weightPool.reserve(plan_.weights)) return cursor_.fail("memory for vertex weights");
    if (!sized(scene_.meshes, c.meshes) || !sized(scene_.bones, c.bones) ||
        !sized(scene_.animations, c.animations)) {
        return cursor_.fail("memory for the scene arrays");
    }
    if (c.bones > 0 && c.animations > 0) {
        // Every animation gets a track per bone. Files that store their tracks spend at least
        // 12 bytes on each; the bound keeps a small file from asking for a vast track table.
        const uint64_t tracks = static_cast<uint64_t>(c.bones) * c.animations;
        const uint64_t limit = cursor_.size() / 4 + c.bones;
        if (tracks > limit) {
            return cursor_.fail(std::to_string(c.animations) + " animations x " + std::to_string(c.bones) +
                                " bones within what the file can hold");
        }
        for (Animation& a : scene_.animations) {
            if (!a.tracks.allocate(static_cast<int32_t>(c.bones)))
                return cursor_.fail("memory for bone tracks");
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// The two modes of every walk.

#define QVX_INSTANTIATE(kFill)                                                          \
    template bool RecordReader::name<kFill>(RecordName&);                               \
    template bool RecordReader::text<kFill>(std::string&);                              \
    template bool RecordReader::texturePath<kFill>(RecordName&);                        \
    template bool RecordReader::light<kFill>(Light&);                                   \
    template bool RecordReader::camera<kFill>(Camera&);                                 \
    template bool RecordReader::group<kFill>(Group&);                                   \
    template bool RecordReader::bone<kFill>(Bone&);                                     \
    template bool RecordReader::oldLight<kFill>(Light&);                                \
    template bool RecordReader::oldCamera<kFill>(Camera&);                              \
    template bool RecordReader::oldBone<kFill>(Bone&);                                  \
    template bool RecordReader::material<kFill>(Material&);                             \
    template bool RecordReader::vertex<kFill>(Vertex&);                                 \
    template bool RecordReader::triangle<kFill>(Triangle&);                             \
    template bool RecordReader::uvSet<kFill>(UVSet&);                                   \
    template bool RecordReader::polygon<kFill>(Mesh&, Polygon&, uint32_t&);             \
    template bool RecordReader::oldPolygon<kFill>(Mesh&, Polygon&, int32_t, uint32_t&); \
    template bool RecordReader::polygons<kFill>(Mesh&, bool, int32_t, uint32_t&);       \
    template bool RecordReader::animationHead<kFill>(Animation&, int32_t&);             \
    template bool RecordReader::tracks<kFill>(Animation&, int32_t);

QVX_INSTANTIATE(false)
QVX_INSTANTIATE(true)
#undef QVX_INSTANTIATE
