#include "format/BodyReader.h"

#include "format/RecordReader.h"
#include "scene/Scene.h"

namespace {

// One walk over every section, in file order, in either mode.
class SectionWalk {
  public:
    explicit SectionWalk(RecordReader& reader)
        : r_(reader), cursor_(reader.cursor()), scene_(reader.scene()) {}

    template <bool kFill>
    bool run() {
        const bool full = r_.traits().fullTransforms;
        return lights<kFill>(full) && cameras<kFill>(full) && materials<kFill>() && groups<kFill>(full) &&
               vertices<kFill>() && (!full || (triangles<kFill>() && uvSets<kFill>())) &&
               meshes<kFill>(full) && bones<kFill>(full) && animations<kFill>();
    }

  private:
    // Reads a section's count word; the counting pass records it.
    template <bool kFill>
    bool sectionCount(const char* section, uint32_t& count, std::size_t minRecord, uint32_t& slot) {
        cursor_.setSection(section);
        if (!cursor_.sectionCount(count, minRecord, "records")) return false;
        if constexpr (!kFill) slot = count;
        return true;
    }

    // The array element to fill, or a scratch record in the counting pass (and, should the
    // count ever exceed the array, past its end).
    template <bool kFill, class Array, class T>
    static T& target(Array& array, uint32_t i, T& scratch) {
        if constexpr (kFill) {
            if (array.validIndex(i)) return array[static_cast<int32_t>(i)];
        }
        return scratch;
    }

    template <bool kFill>
    bool lights(bool full) {
        uint32_t n;
        const std::size_t min =
            RecordReader::kMinName + (full ? RecordReader::kLightBytes : RecordReader::kOldLightBytes);
        if (!sectionCount<kFill>("lights", n, min, scene_.counts.lights)) return false;
        Light scratch;
        for (uint32_t i = 0; i < n; ++i) {
            Light& l = target<kFill>(scene_.lights, i, scratch);
            if (!r_.name<kFill>(l.name) || !(full ? r_.light<kFill>(l) : r_.oldLight<kFill>(l))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool cameras(bool full) {
        uint32_t n;
        const std::size_t min =
            RecordReader::kMinName + (full ? RecordReader::kCameraBytes : RecordReader::kOldCameraBytes);
        if (!sectionCount<kFill>("cameras", n, min, scene_.counts.cameras)) return false;
        Camera scratch;
        for (uint32_t i = 0; i < n; ++i) {
            Camera& c = target<kFill>(scene_.cameras, i, scratch);
            if (!r_.name<kFill>(c.name) || !(full ? r_.camera<kFill>(c) : r_.oldCamera<kFill>(c)))
                return false;
        }
        return true;
    }

    template <bool kFill>
    bool materials() {
        uint32_t n;
        const std::size_t min = RecordReader::kMinName + RecordReader::kMaterialBytes;
        if (!sectionCount<kFill>("materials", n, min, scene_.counts.materials)) return false;
        for (uint32_t i = 0; i < n; ++i) {
            Material scratch;
            if (!r_.material<kFill>(target<kFill>(scene_.materials, i, scratch))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool groups(bool full) {
        uint32_t n;
        const std::size_t min = RecordReader::kMinName + (full ? RecordReader::kGroupBytes : 0);
        if (!sectionCount<kFill>("groups", n, min, scene_.counts.groups)) return false;
        Group scratch;
        for (uint32_t i = 0; i < n; ++i) {
            Group& g = target<kFill>(scene_.groups, i, scratch);
            if (!r_.name<kFill>(g.name) || (full && !r_.group<kFill>(g))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool vertices() {
        uint32_t n;
        if (!sectionCount<kFill>("vertices", n, r_.vertexLayout().minBytes(), scene_.counts.vertices))
            return false;
        Vertex scratch;
        for (uint32_t i = 0; i < n; ++i) {
            if (!r_.vertex<kFill>(target<kFill>(scene_.vertices, i, scratch))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool triangles() {
        uint32_t n;
        if (!sectionCount<kFill>("triangles", n, RecordReader::kTriangleBytes, scene_.counts.triangles))
            return false;
        Triangle scratch;
        for (uint32_t i = 0; i < n; ++i) {
            if (!r_.triangle<kFill>(target<kFill>(scene_.triangles, i, scratch))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool uvSets() {
        uint32_t n;
        const std::size_t min = RecordReader::kMinName + RecordReader::kUVSetBytes;
        if (!sectionCount<kFill>("UV sets", n, min, scene_.counts.uvSets)) return false;
        for (uint32_t i = 0; i < n; ++i) {
            UVSet scratch;
            if (!r_.uvSet<kFill>(target<kFill>(scene_.uvSets, i, scratch))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool meshes(bool full) {
        uint32_t n;
        const std::size_t min = full ? RecordReader::kMeshBytes : RecordReader::kOldMeshBytes;
        if (!sectionCount<kFill>("meshes", n, min, scene_.counts.meshes)) return false;
        // Old files store UV coordinates inline; they land in the scene's UV sets at the
        // running corner position across all meshes.
        uint32_t runningCorner = 0;
        for (uint32_t i = 0; i < n; ++i) {
            Mesh scratch;
            Mesh& mesh = target<kFill>(scene_.meshes, i, scratch);
            uint32_t groupValue = 0;
            if (!full && !cursor_.u32(groupValue)) return false;
            if (!r_.polygons<kFill>(mesh, !full, static_cast<int32_t>(groupValue), runningCorner))
                return false;
        }
        // The corner total of every layout; only the old one sizes the UV sets from it.
        if constexpr (!kFill) scene_.legacyUVCount = runningCorner;
        return true;
    }

    template <bool kFill>
    bool bones(bool full) {
        uint32_t n;
        const std::size_t old = RecordReader::kOldBoneBytes + (r_.traits().boneScale ? 12 : 0);
        const std::size_t min = RecordReader::kMinName + (full ? RecordReader::kBoneBytes : old);
        if (!sectionCount<kFill>("bones", n, min, scene_.counts.bones)) return false;
        Bone scratch;
        for (uint32_t i = 0; i < n; ++i) {
            Bone& b = target<kFill>(scene_.bones, i, scratch);
            if (!r_.name<kFill>(b.name) || !(full ? r_.bone<kFill>(b) : r_.oldBone<kFill>(b))) return false;
        }
        return true;
    }

    template <bool kFill>
    bool animations() {
        uint32_t n;
        const std::size_t min = RecordReader::kMinName + RecordReader::kAnimationBytes;
        if (!sectionCount<kFill>("animations", n, min, scene_.counts.animations)) return false;
        for (uint32_t i = 0; i < n; ++i) {
            Animation scratch;
            Animation& a = target<kFill>(scene_.animations, i, scratch);
            int32_t trackCount;
            if (!r_.animationHead<kFill>(a, trackCount) || !r_.tracks<kFill>(a, trackCount)) return false;
        }
        return true;
    }

    RecordReader& r_;
    ReadCursor& cursor_;
    Scene& scene_;
};

}  // namespace

int readSectionedBody(ReadCursor& cursor, const QvxHeader& header, Scene& scene,
                      const ReadSettings& settings) {
    VertexLayout layout;
    layout.normal = (header.flags() & QVX_FLAG_NORMALS) != 0;
    layout.color = (header.flags() & QVX_FLAG_COLORS) != 0;
    StoragePlan plan;
    RecordReader reader(cursor, scene, header.version(), layout, settings, plan);
    SectionWalk walk(reader);

    const std::size_t bodyStart = cursor.position();
    scene.parserMark = static_cast<uint32_t>(bodyStart);
    if (!walk.run<false>()) return QVX_RESULT_FAILED;
    scene.counts.infoStrings = header[kSlotInfoStringCount];

    cursor.setSection("scene arrays");
    if (!reader.allocateScene(!reader.traits().fullTransforms)) return QVX_RESULT_FAILED;

    cursor.seek(bodyStart);
    if (!walk.run<true>()) return QVX_RESULT_FAILED;
    return QVX_RESULT_OK;
}
