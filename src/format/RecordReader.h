#pragma once

// The record walks shared by the sectioned reader and the chunked reader.
//
// Every walk is written once and runs in two modes: the counting pass (kFill false) checks
// that each record is complete and consumes it without storing anything; the filling pass
// (kFill true) walks the same bytes again and stores into the record it is given. Because
// both passes run the same code, they cannot disagree about where a record ends.
//
// Every count read from the file is checked against the bytes that remain before anything
// is sized from it, and every store into a scene array is bounded by that array's count.

#include <cstdint>
#include <string>
#include <vector>

#include "format/ReadCursor.h"
#include "format/ReadSettings.h"
#include "scene/Scene.h"

// Which optional parts every vertex record of a file carries.
struct VertexLayout {
    bool normal = false;        // a normal, read and discarded
    bool extraVectors = false;  // two further vectors, read and discarded (chunked files)
    bool color = false;         // RGBA
    bool weights = true;        // a weight count and (bone, weight) pairs

    std::size_t minBytes() const {
        return 12 + (normal ? 12 : 0) + (extraVectors ? 24 : 0) + (color ? 16 : 0) + (weights ? 4 : 0);
    }
};

// What the counting pass learns for the filling pass so that storage is sized once: the
// corner storage of each mesh's polygons, in the order the meshes are read, and the number
// of vertex weights in all. Both passes walk the same records, so the n-th mesh of the
// filling pass is the n-th of the counting pass; should they ever disagree, the arrays fall
// back to storage of their own and nothing is lost.
struct StoragePlan {
    std::vector<std::size_t> meshCorners;
    std::size_t weights = 0;
    std::size_t nextMesh = 0;  // the filling pass's next entry of meshCorners
};

class RecordReader {
  public:
    // Smallest stored sizes, used to check counts before anything is allocated.
    static constexpr std::size_t kMinName = 2;
    static constexpr std::size_t kLightBytes = 204;
    static constexpr std::size_t kOldLightBytes = 32;
    static constexpr std::size_t kCameraBytes = 172;
    static constexpr std::size_t kOldCameraBytes = 64;
    static constexpr std::size_t kMaterialBytes = 96;  // block and layer count
    static constexpr std::size_t kLayerHeadBytes = 48;
    static constexpr std::size_t kOldLayerHeadBytes = 20;
    static constexpr std::size_t kGroupBytes = 160;
    static constexpr std::size_t kTriangleBytes = 40;
    static constexpr std::size_t kUVCoordBytes = 12;
    static constexpr std::size_t kUVSetBytes = 8;  // two counts after the name
    static constexpr std::size_t kPolygonBytes = 20;
    static constexpr std::size_t kOldPolygonBytes = 16;
    static constexpr std::size_t kMeshBytes = 4;
    static constexpr std::size_t kOldMeshBytes = 8;
    static constexpr std::size_t kBoneBytes = 172;
    static constexpr std::size_t kOldBoneBytes = 48;  // without scale
    static constexpr std::size_t kAnimationBytes = 20;
    static constexpr std::size_t kTrackBytes = 12;
    static constexpr std::size_t kSubEntryBytes = 2 + 12;

    RecordReader(ReadCursor& cursor, Scene& scene, uint32_t version, VertexLayout vertexLayout,
                 const ReadSettings& settings, StoragePlan& plan);

    ReadCursor& cursor() { return cursor_; }
    Scene& scene() { return scene_; }
    const VersionTraits& traits() const { return traits_; }
    const VertexLayout& vertexLayout() const { return vertexLayout_; }
    const ReadSettings& settings() const { return settings_; }

    // A counted string into a name (both forms), truncated to the name buffer at a
    // character boundary; the whole stored string is consumed.
    template <bool kFill>
    bool name(RecordName& out);
    // A counted string as narrow (UTF-8) text.
    template <bool kFill>
    bool text(std::string& out);
    // A stored texture path, resolved against the scene folder.
    template <bool kFill>
    bool texturePath(RecordName& out);

    // Records after their name (the caller reads the name), current layout.
    template <bool kFill>
    bool light(Light& light);
    template <bool kFill>
    bool camera(Camera& camera);
    template <bool kFill>
    bool group(Group& group);
    template <bool kFill>
    bool bone(Bone& bone);
    // Older layouts (below the full-transform threshold).
    template <bool kFill>
    bool oldLight(Light& light);
    template <bool kFill>
    bool oldCamera(Camera& camera);
    template <bool kFill>
    bool oldBone(Bone& bone);

    // Name, 92-byte block, layer count and layers in the layout of the file's version.
    template <bool kFill>
    bool material(Material& material);
    template <bool kFill>
    bool vertex(Vertex& vertex);
    template <bool kFill>
    bool triangle(Triangle& triangle);
    // Name, coordinates, triangles.
    template <bool kFill>
    bool uvSet(UVSet& uvSet);
    // One polygon of the current layout; `runningCorner` is advanced past its corners. UV
    // channels beyond the polygon's two UV slots are read past.
    template <bool kFill>
    bool polygon(Mesh& mesh, Polygon& polygon, uint32_t& runningCorner);
    // One polygon of the old layout, with its UV coordinates inline; `runningCorner` is the
    // position of its first corner in the scene's UV sets, advanced past its corners.
    template <bool kFill>
    bool oldPolygon(Mesh& mesh, Polygon& polygon, int32_t groupValue, uint32_t& runningCorner);
    // Polygon count and polygons of one mesh (allocated in the filling pass).
    template <bool kFill>
    bool polygons(Mesh& mesh, bool oldLayout, int32_t groupValue, uint32_t& runningCorner);
    // Name, flags, ticks, fps; the stored track count is handed back unread beyond.
    template <bool kFill>
    bool animationHead(Animation& animation, int32_t& trackCount);
    // `count` tracks into the animation's track array (tracks beyond it are read past).
    template <bool kFill>
    bool tracks(Animation& animation, int32_t count);

    // Steps between the passes: the all-zero check, the forced group and UV-set counts and
    // the allocation of every scene array from scene.counts. `oldUVLayout` sizes every UV
    // set's coordinates to the corner total counted by the old mesh layout.
    bool allocateScene(bool oldUVLayout);

  private:
    template <bool kFill>
    bool layer(Material& material, int32_t slot);
    template <bool kFill>
    bool oldLayer(Material& material, int32_t slot);
    template <bool kFill>
    bool kindBody(MaterialLayer& layer, bool oldLayout);
    template <bool kFill>
    bool boneTrack(BoneTrack& track);
    template <bool kFill>
    bool transform(Transform& out);
    template <bool kFill>
    bool color(Color& out);
    template <bool kFill>
    bool vec3(Vec3& out);
    // The six paths of a kind-5 layer; `together`: kept only when all six files exist.
    template <bool kFill>
    bool sixPaths(MaterialLayer& layer, bool together);

    std::string resolveTexture(const std::string& stored, bool mayKeep) const;
    bool textureExists(const std::string& stored) const;

    ReadCursor& cursor_;
    Scene& scene_;
    VersionTraits traits_;
    VertexLayout vertexLayout_;
    const ReadSettings& settings_;
    StoragePlan& plan_;
};
