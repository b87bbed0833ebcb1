#include "format/ChunkedReader.h"

#include "format/FileSystem.h"
#include "format/RecordReader.h"
#include "format/SceneParser.h"
#include "scene/Scene.h"

namespace {

constexpr std::size_t kChunkHeadBytes = 8;

class ChunkWalk {
  public:
    ChunkWalk(Scene& scene, uint32_t flags, const ReadSettings& settings)
        : scene_(scene), settings_(settings) {
        layout_.normal = (flags & QVX_FLAG_NORMALS) != 0;
        layout_.extraVectors = (flags & kChunkedFlagExtraVectors) != 0;
        layout_.color = (flags & QVX_FLAG_COLORS) != 0;
        layout_.weights = (flags & kChunkedFlagWeights) != 0;
    }

    // Walks every chunk from the cursor's position to the end of the image.
    template <bool kFill>
    bool run(ReadCursor& top) {
        while (!top.atEnd()) {
            top.setSection("chunk list");
            if (!chunk(top, [this](uint32_t tag, ReadCursor& c) { return content<kFill>(tag, c); }))
                return false;
        }
        return true;
    }

  private:
    // Reads a chunk head from `outer`, hands a cursor bounded by the payload to `body` and
    // then moves `outer` to the payload's end, whatever the body read.
    template <class Body>
    static bool chunk(ReadCursor& outer, Body&& body) {
        const std::size_t at = outer.position();
        uint32_t tag, length;
        if (!outer.u32(tag) || !outer.u32(length)) return false;
        if (length > outer.remaining()) {
            return outer.failAt(at, "a chunk payload of " + std::to_string(length) + " bytes within " +
                                        std::to_string(outer.remaining()) + " remaining");
        }
        const std::size_t end = outer.position() + length;
        ReadCursor payload = outer.part(length);
        if (!body(tag, payload)) return outer.adoptFailure(payload.failure());
        return outer.seek(end);
    }

    RecordReader reader(ReadCursor& c) {
        return RecordReader(c, scene_, QVX_VERSION_CHUNKED, layout_, settings_, plan_);
    }

    template <bool kFill, class Array, class T>
    static T& target(Array& array, uint32_t i, T& scratch) {
        if constexpr (kFill) {
            if (array.validIndex(i)) return array[static_cast<int32_t>(i)];
        }
        return scratch;
    }

    template <bool kFill>
    bool content(uint32_t tag, ReadCursor& c) {
        RecordReader r = reader(c);
        uint32_t n = 0;
        switch (tag) {
            case kChunkLights: {
                c.setSection("lights chunk");
                if (!c.sectionCount(n, RecordReader::kMinName + RecordReader::kLightBytes, "lights"))
                    return false;
                if constexpr (!kFill) scene_.counts.lights = n;
                Light scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    Light& l = target<kFill>(scene_.lights, i, scratch);
                    if (!r.name<kFill>(l.name) || !r.light<kFill>(l)) return false;
                }
                return true;
            }
            case kChunkCameras: {
                c.setSection("cameras chunk");
                if (!c.sectionCount(n, RecordReader::kMinName + RecordReader::kCameraBytes, "cameras"))
                    return false;
                if constexpr (!kFill) scene_.counts.cameras = n;
                Camera scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    Camera& cam = target<kFill>(scene_.cameras, i, scratch);
                    if (!r.name<kFill>(cam.name) || !r.camera<kFill>(cam)) return false;
                }
                return true;
            }
            case kChunkMaterials: {
                c.setSection("materials chunk");
                if (!c.sectionCount(n, RecordReader::kMinName + RecordReader::kMaterialBytes, "materials")) {
                    return false;
                }
                if constexpr (!kFill) scene_.counts.materials = n;
                for (uint32_t i = 0; i < n; ++i) {
                    Material scratch;
                    if (!r.material<kFill>(target<kFill>(scene_.materials, i, scratch))) return false;
                }
                return true;
            }
            case kChunkEmbeddedFiles:
                c.setSection("embedded files chunk");
                return embeddedFiles<kFill>(c, r);
            case kChunkGroups: {
                c.setSection("groups chunk");
                if (!c.sectionCount(n, RecordReader::kMinName + RecordReader::kGroupBytes, "groups"))
                    return false;
                if constexpr (!kFill) scene_.counts.groups = n;
                Group scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    Group& g = target<kFill>(scene_.groups, i, scratch);
                    if (!r.name<kFill>(g.name) || !r.group<kFill>(g)) return false;
                }
                return true;
            }
            case kChunkMeshes: {
                c.setSection("meshes chunk");
                if (!c.sectionCount(n, kChunkHeadBytes, "mesh sub-chunks")) return false;
                if constexpr (!kFill) scene_.counts.meshes = n;
                for (uint32_t i = 0; i < n; ++i) {
                    Mesh scratch;
                    Mesh& mesh = target<kFill>(scene_.meshes, i, scratch);
                    const bool ok = chunk(c, [&](uint32_t meshTag, ReadCursor& m) {
                        // Anything but a mesh sub-chunk is skipped; the mesh stays empty.
                        return meshTag != kChunkMesh || meshChunk<kFill>(mesh, m);
                    });
                    if (!ok) return false;
                }
                return true;
            }
            case kChunkBones: {
                c.setSection("bones chunk");
                if (!c.sectionCount(n, RecordReader::kMinName + RecordReader::kBoneBytes, "bones"))
                    return false;
                if constexpr (!kFill) scene_.counts.bones = n;
                Bone scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    Bone& b = target<kFill>(scene_.bones, i, scratch);
                    if (!r.name<kFill>(b.name) || !r.bone<kFill>(b)) return false;
                }
                return true;
            }
            case kChunkAnimations: {
                c.setSection("animations chunk");
                const std::size_t min = RecordReader::kMinName + RecordReader::kAnimationBytes;
                if (!c.sectionCount(n, min, "animations")) return false;
                if constexpr (!kFill) scene_.counts.animations = n;
                for (uint32_t i = 0; i < n; ++i) {
                    Animation scratch;
                    Animation& a = target<kFill>(scene_.animations, i, scratch);
                    int32_t stored;
                    if (!r.animationHead<kFill>(a, stored)) return false;
                    // Stored tracks are one per bone of the scene; the stored count only says
                    // whether there are any.
                    const int32_t tracks = stored >= 1 ? static_cast<int32_t>(scene_.counts.bones) : 0;
                    if (!r.tracks<kFill>(a, tracks)) return false;
                }
                return true;
            }
            case kChunkInfoStrings: {
                c.setSection("info strings chunk");
                if (!c.sectionCount(n, RecordReader::kMinName, "info strings")) return false;
                if constexpr (!kFill) scene_.counts.infoStrings = n;
                std::string discarded;
                for (uint32_t i = 0; i < n; ++i) {
                    if (!r.text<false>(discarded)) return false;
                }
                return true;
            }
            default:
                return true;  // chunks without a reader are skipped by their length
        }
    }

    template <bool kFill>
    bool meshChunk(Mesh& mesh, ReadCursor& m) {
        while (!m.atEnd()) {
            m.setSection("mesh sub-chunk");
            if (!chunk(m, [&](uint32_t tag, ReadCursor& c) { return meshPart<kFill>(mesh, tag, c); }))
                return false;
        }
        return true;
    }

    // Vertices, triangles and UV sets of every mesh sub-chunk fill the scene-wide arrays from
    // their first element; the last counted sub-chunk sets the count, so every store is
    // bounded by the array as allocated.
    template <bool kFill>
    bool meshPart(Mesh& mesh, uint32_t tag, ReadCursor& c) {
        RecordReader r = reader(c);
        uint32_t n = 0;
        switch (tag) {
            case kChunkMeshVertices: {
                c.setSection("mesh vertices");
                if (!c.sectionCount(n, layout_.minBytes(), "vertices")) return false;
                if constexpr (!kFill) scene_.counts.vertices = n;
                Vertex scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    if (!r.vertex<kFill>(target<kFill>(scene_.vertices, i, scratch))) return false;
                }
                return true;
            }
            case kChunkMeshTriangles: {
                c.setSection("mesh triangles");
                if (!c.sectionCount(n, RecordReader::kTriangleBytes, "triangles")) return false;
                if constexpr (!kFill) scene_.counts.triangles = n;
                Triangle scratch;
                for (uint32_t i = 0; i < n; ++i) {
                    if (!r.triangle<kFill>(target<kFill>(scene_.triangles, i, scratch))) return false;
                }
                return true;
            }
            case kChunkMeshPolygons: {
                c.setSection("mesh polygons");
                uint32_t unusedCorner = 0;
                return r.polygons<kFill>(mesh, false, 0, unusedCorner);
            }
            case kChunkMeshUVSets: {
                c.setSection("mesh UV sets");
                if (!c.sectionCount(n, kChunkHeadBytes, "UV set sub-chunks")) return false;
                if constexpr (!kFill) scene_.counts.uvSets = n;
                for (uint32_t i = 0; i < n; ++i) {
                    UVSet scratch;
                    UVSet& set = target<kFill>(scene_.uvSets, i, scratch);
                    const bool ok = chunk(c, [&](uint32_t setTag, ReadCursor& s) {
                        return setTag != kChunkUVSet || uvSetChunk<kFill>(set, s);
                    });
                    if (!ok) return false;
                }
                return true;
            }
            default:
                return true;
        }
    }

    template <bool kFill>
    bool uvSetChunk(UVSet& set, ReadCursor& s) {
        s.setSection("UV set sub-chunk");
        RecordReader r = reader(s);
        if (!r.name<kFill>(set.name)) return false;
        while (!s.atEnd()) {
            const bool ok = chunk(s, [&](uint32_t tag, ReadCursor& c) {
                RecordReader part = reader(c);
                int32_t n;
                if (tag == kChunkUVSetCoords) {
                    c.setSection("UV coordinates");
                    if (!c.count(n, RecordReader::kUVCoordBytes, "UV coordinates")) return false;
                    if constexpr (kFill) {
                        if (n == 0) {
                            set.coords.clear();
                            return true;
                        }
                        if (!set.coords.allocateForOverwrite(n)) return c.fail("memory for UV coordinates");
                        return c.bytes(set.coords.data(),
                                       static_cast<std::size_t>(n) * RecordReader::kUVCoordBytes);
                    } else {
                        return c.skip(static_cast<std::size_t>(n) * RecordReader::kUVCoordBytes);
                    }
                }
                if (tag == kChunkUVSetTriangles) {
                    c.setSection("UV triangles");
                    if (!c.count(n, RecordReader::kTriangleBytes, "UV triangles")) return false;
                    if constexpr (kFill) {
                        if (n == 0) {
                            set.triangles.clear();
                            return true;
                        }
                        if (!set.triangles.allocate(n)) return c.fail("memory for UV triangles");
                    }
                    Triangle scratch;
                    for (int32_t i = 0; i < n; ++i) {
                        if (!part.triangle<kFill>(kFill ? set.triangles[i] : scratch)) return false;
                    }
                    return true;
                }
                return true;
            });
            if (!ok) return false;
        }
        return true;
    }

    template <bool kFill>
    bool embeddedFiles(ReadCursor& c, RecordReader& r) {
        uint32_t n;
        if (!c.sectionCount(n, RecordReader::kMinName + 4, "embedded files")) return false;
        for (uint32_t i = 0; i < n; ++i) {
            std::string name;
            if (!r.text<kFill>(name)) return false;
            uint32_t length;
            const std::size_t at = c.position();
            if (!c.u32(length)) return false;
            const unsigned char* data = nullptr;
            if (length > c.remaining()) {
                return c.failAt(at, "embedded file data of " + std::to_string(length) + " bytes within " +
                                        std::to_string(c.remaining()) + " remaining");
            }
            if (!c.view(length, data)) return false;
            if constexpr (kFill) extract(name, data, length);
        }
        return true;
    }

  public:
    // Sizes the scene arrays between the passes, with what the counting pass learned.
    bool allocateScene(ReadCursor& cursor) {
        return RecordReader(cursor, scene_, QVX_VERSION_CHUNKED, VertexLayout{}, settings_, plan_)
            .allocateScene(false);
    }

    // Embedded files that were not written because the file asked for too many.
    uint32_t skippedEmbeddedFiles() const { return skippedEmbeddedFiles_; }

  private:
    // Writes an embedded file into the extraction folder: only as a plain name inside it,
    // only when absent (exclusive creation), and failures are not errors; at most
    // maxEmbeddedFiles of them.
    void extract(const std::string& storedName, const unsigned char* data, std::size_t length) {
        const std::string& folder = settings_.extractionFolder();
        if (!settings_.extractEmbeddedFiles || folder.empty() || length == 0) return;
        const std::string_view name = qvxfs::lastComponent(storedName);
        if (!qvxfs::isPlainFileName(name)) return;
        if (createdEmbeddedFiles_ >= settings_.maxEmbeddedFiles) {
            ++skippedEmbeddedFiles_;
            return;
        }
        if (qvxfs::createNewFile(qvxfs::joinFolder(folder, name), data, length) ==
            qvxfs::CreateFileResult::Created) {
            ++createdEmbeddedFiles_;
        }
    }

    uint32_t createdEmbeddedFiles_ = 0;
    uint32_t skippedEmbeddedFiles_ = 0;

    Scene& scene_;
    const ReadSettings& settings_;
    VertexLayout layout_;
    StoragePlan plan_;
};

// Reads the 48-byte header at the start of `cursor`'s image.
int readChunkedHeader(ReadCursor& cursor, uint32_t (&words)[12]) {
    cursor.setSection("chunked header");
    if (!cursor.seek(0) || !cursor.words(words, 12)) return QVX_RESULT_FAILED;
    if (words[0] != QVX_MAGIC) {
        cursor.failAt(0, "the magic \"QVXH\"");
        return QVX_RESULT_NOT_QVX;
    }
    if (words[1] != QVX_VERSION_CHUNKED) {
        cursor.failAt(4, "version 34 in a chunked header, found " + std::to_string(words[1]));
        return QVX_RESULT_OLD_VERSION;
    }
    return QVX_RESULT_OK;
}

QvxHeader headerOf(const uint32_t (&words)[12]) {
    QvxHeader h;
    for (int i = 0; i < 12; ++i) h[i] = words[i];
    return h;
}

}  // namespace

int readChunkedImage(ImageBuffer& image, Scene& scene, const ReadSettings& settings, ParseReport& report) {
    report.chunked = true;
    uint32_t words[12];
    ReadCursor cursor(image.data(), image.size());
    int result = readChunkedHeader(cursor, words);
    report.outer = headerOf(words);
    report.inner = report.outer;
    if (result != QVX_RESULT_OK) {
        report.failure = cursor.failure();
        return result;
    }
    if (words[2] & QVX_FLAG_COMPRESSED) {
        report.compressed = true;
        if (!inflateImage(image, words[kChunkedStreamOffsetByte / 4], words[3], cursor)) {
            report.failure = cursor.failure();
            return QVX_RESULT_FAILED;
        }
        report.failureInInner = true;
        report.innerBytes = image.size();
        cursor = ReadCursor(image.data(), image.size());
        result = readChunkedHeader(cursor, words);
        report.inner = headerOf(words);
        if (result == QVX_RESULT_OK && (words[2] & QVX_FLAG_COMPRESSED)) {
            // One level of compression; a stream inside a stream is not followed.
            cursor.failAt(8, "an inner header without the compressed flag");
            result = QVX_RESULT_FAILED;
        }
        if (result != QVX_RESULT_OK) {
            report.failure = cursor.failure();
            return result;
        }
    }
    report.innerBytes = image.size();
    if (words[3] != image.size()) {
        cursor.failAt(12, "the file-size slot " + std::to_string(words[3]) + " to equal the length " +
                              std::to_string(image.size()));
        report.failure = cursor.failure();
        return QVX_RESULT_BAD_SIZE;
    }
    scene.fileVersion = QVX_VERSION_CHUNKED;

    ChunkWalk walk(scene, words[2], settings);
    bool ok = cursor.seek(kChunkedHeaderBytes);
    cursor.setSection("directory chunk");
    const std::size_t at = cursor.position();
    uint32_t tag = 0, length = 0;
    ok = ok && cursor.u32(tag) && cursor.u32(length);
    if (ok && tag != kChunkDirectory) ok = cursor.failAt(at, "the directory chunk first");
    // The directory's entries (tag, value) are not needed for reading; it is passed over.
    if (ok && length > cursor.remaining()) ok = cursor.failAt(at, "a directory within the file");
    ok = ok && cursor.skip(length);
    const std::size_t first = cursor.position();
    ok = ok && walk.run<false>(cursor);
    if (ok) {
        cursor.setSection("scene arrays");
        ok = walk.allocateScene(cursor);
    }
    ok = ok && cursor.seek(first) && walk.run<true>(cursor);
    if (!ok) {
        report.failure = cursor.failure();
        return QVX_RESULT_FAILED;
    }
    if (walk.skippedEmbeddedFiles() > 0) {
        report.warnings.push_back(std::to_string(walk.skippedEmbeddedFiles()) +
                                  " embedded files were not written: a file may create at most " +
                                  std::to_string(settings.maxEmbeddedFiles));
    }
    return QVX_RESULT_OK;
}
