#pragma once

// The in-memory scene model through which every import and export passes.
//
// It holds geometry in two stages: the host-side form filled by the export walk (each
// Mesh owns its vertices, colours, UV sets and materials, and its polygons index those),
// and the scene form of the files (the scene-wide vertices, materials and UV sets, each
// mesh keeping only its polygons, one Group per mesh).
//
// Every variable-length collection is a RecordArray (count(), operator[], allocate(n),
// append(), clear()). Array kinds holding the same record type may differ in the
// defaults they give new elements, so each array field has its own policy; the table of
// defaults is in the policy declarations below. Indices between records are signed
// 32-bit, -1 means none, and consumers treat any index outside 0..count()-1 as none.
//
// A record constructed on its own (as a parser's working record) has the defaults of its
// member initialisers; elements created by an array start from the zero state and get
// that array's defaults instead.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "scene/Math.h"
#include "scene/RecordArray.h"
#include "scene/Text.h"

// ---------------------------------------------------------------------------------------
// Array policies: the defaults each array kind gives new elements. onAllocate runs on the
// zero state of every element created by allocate(n), onAppend on the element created by
// append(). kAcceptsEmpty: allocate(0) yields a present, empty array instead of failing.

struct Light;
struct Camera;
struct Material;
struct MaterialLayer;
struct LayerSubEntry;
struct MaterialUsage;
struct Group;
struct Vertex;
struct VertexWeight;
struct Triangle;
struct UVCoord;
struct UVSet;
struct Polygon;
struct Mesh;
struct Bone;
struct PositionKey;
struct RotationKey;
struct ScaleKey;
struct TrackExtraEntry;
struct BoneTrack;
struct Animation;
struct BonePose;
struct SkinnedVertex;

// Scene.lights: allocation leaves every field 0; append gives tag 1600, kind 1, the
// default transform with a zero quaternion, param0 10, coneAngle 20, param2 0, param3 1,
// intensity 1, colour white, param4 2, param5 8.
struct LightArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Light&, std::int32_t) {}
    static void onAppend(Light& light, std::int32_t index);
};
// Scene.cameras: allocation leaves every field 0; append gives tag 0, kind 0, the
// lights' transform, fieldOfView 45, nearClip 1, farClip 1000.
struct CameraArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Camera&, std::int32_t) {}
    static void onAppend(Camera& camera, std::int32_t index);
};
// Scene.materials: diffuse white; ambient, color3, specular, color5 opaque black;
// shininess 128; opacity 1 (allocation and append).
struct SceneMaterialArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Material& material, std::int32_t index);
    static void onAppend(Material& material, std::int32_t index) { onAllocate(material, index); }
};
// Scene.groups: both names "QVXGroup<index>", everything else 0.
struct GroupArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Group& group, std::int32_t index);
    static void onAppend(Group& group, std::int32_t index) { onAllocate(group, index); }
};
// Scene.vertices and Mesh.vertices: colour white.
struct VertexArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Vertex& vertex, std::int32_t index);
    static void onAppend(Vertex& vertex, std::int32_t index) { onAllocate(vertex, index); }
};
// Vertex weights: allocation gives influenceIndex 0, boneIndex -1, weight 1; append gives
// influenceIndex -1, boneIndex -1, weight 1.
struct VertexWeightArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(VertexWeight& weight, std::int32_t index);
    static void onAppend(VertexWeight& weight, std::int32_t index);
};
// Scene.triangles: the six corner indices -1, the rest 0; allocate(0) gives an empty array.
struct SceneTriangleArrayPolicy {
    static constexpr bool kAcceptsEmpty = true;
    static void onAllocate(Triangle& triangle, std::int32_t index);
    static void onAppend(Triangle& triangle, std::int32_t index) { onAllocate(triangle, index); }
};
// Scene.uvSets: names "UVSet<index + 1>" (UVSet1, UVSet2); allocate(0) gives an empty array.
struct SceneUVSetArrayPolicy {
    static constexpr bool kAcceptsEmpty = true;
    static void onAllocate(UVSet& uvSet, std::int32_t index);
    static void onAppend(UVSet& uvSet, std::int32_t index) { onAllocate(uvSet, index); }
};
// Scene.meshes: name "QVXMesh<index>", path null.
struct MeshArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Mesh& mesh, std::int32_t index);
    static void onAppend(Mesh& mesh, std::int32_t index) { onAllocate(mesh, index); }
};
// Mesh.polygons: groupIndex -1, materialIndex -1, corner arrays absent.
struct PolygonArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Polygon& polygon, std::int32_t index);
    static void onAppend(Polygon& polygon, std::int32_t index) { onAllocate(polygon, index); }
};
// Mesh.colors: white.
struct ColorArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Color& color, std::int32_t) { color = kWhite; }
    static void onAppend(Color& color, std::int32_t) { color = kWhite; }
};
// Scene.bones: parent -1 (append: the given parent), position 0, scale 1, rotation
// (0,0,0,1), colour white, localMatrix and worldMatrix identity.
struct BoneArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Bone& bone, std::int32_t index);
    static void onAppend(Bone& bone, std::int32_t index, std::int32_t parentIndex = -1);
};
// Scene.animations: both names "DefaultAnim", startTick 0, tickCount 30, fps 30.
struct AnimationArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(Animation& animation, std::int32_t index);
    static void onAppend(Animation& animation, std::int32_t index) { onAllocate(animation, index); }
};
// Track key lists: rotation keys (0,0,0,1), scale keys (1,1,1); position keys 0.
struct RotationKeyArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(RotationKey& key, std::int32_t index);
    static void onAppend(RotationKey& key, std::int32_t index) { onAllocate(key, index); }
};
struct ScaleKeyArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(ScaleKey& key, std::int32_t index);
    static void onAppend(ScaleKey& key, std::int32_t index) { onAllocate(key, index); }
};
// The pose tables: BonePose defaults (identity matrices, rotation (0,0,0,1), parent -1).
struct BonePoseArrayPolicy {
    static constexpr bool kAcceptsEmpty = false;
    static void onAllocate(BonePose& pose, std::int32_t index);
    static void onAppend(BonePose& pose, std::int32_t index) { onAllocate(pose, index); }
};

// Arrays without defaults (every field 0 on allocation and append): Mesh.materials,
// Mesh.uvSets, Mesh.influenceNames (all null), UVSet coordinates and triangles (all
// fields 0, unlike the scene triangles), animation tracks, position keys, the fourth key
// list, material layer slots (all null), kind-4 sub-entries, group material usages,
// skinned vertices.
using LightArray = RecordArray<Light, LightArrayPolicy>;
using CameraArray = RecordArray<Camera, CameraArrayPolicy>;
using SceneMaterialArray = RecordArray<Material, SceneMaterialArrayPolicy>;
using MeshMaterialArray = RecordArray<Material, PlainArrayPolicy>;
using LayerSlotArray = RecordArray<std::unique_ptr<MaterialLayer>, PlainArrayPolicy>;
using LayerSubEntryArray = RecordArray<LayerSubEntry, PlainArrayPolicy>;
using MaterialUsageArray = RecordArray<MaterialUsage, PlainArrayPolicy>;
using GroupArray = RecordArray<Group, GroupArrayPolicy>;
using VertexArray = RecordArray<Vertex, VertexArrayPolicy>;
using VertexWeightArray = RecordArray<VertexWeight, VertexWeightArrayPolicy>;
using SceneTriangleArray = RecordArray<Triangle, SceneTriangleArrayPolicy>;
using UVTriangleArray = RecordArray<Triangle, PlainArrayPolicy>;
using UVCoordArray = RecordArray<UVCoord, PlainArrayPolicy>;
using SceneUVSetArray = RecordArray<UVSet, SceneUVSetArrayPolicy>;
using MeshUVSetArray = RecordArray<UVSet, PlainArrayPolicy>;
using MeshArray = RecordArray<Mesh, MeshArrayPolicy>;
using PolygonArray = RecordArray<Polygon, PolygonArrayPolicy>;
using ColorArray = RecordArray<Color, ColorArrayPolicy>;
using InfluenceNameArray = RecordArray<OwnedString, PlainArrayPolicy>;
using BoneArray = RecordArray<Bone, BoneArrayPolicy>;
using AnimationArray = RecordArray<Animation, AnimationArrayPolicy>;
using BoneTrackArray = RecordArray<BoneTrack, PlainArrayPolicy>;
using PositionKeyArray = RecordArray<PositionKey, PlainArrayPolicy>;
using RotationKeyArray = RecordArray<RotationKey, RotationKeyArrayPolicy>;
using ScaleKeyArray = RecordArray<ScaleKey, ScaleKeyArrayPolicy>;
using TrackExtraArray = RecordArray<TrackExtraEntry, PlainArrayPolicy>;
using BonePoseArray = RecordArray<BonePose, BonePoseArrayPolicy>;
using SkinnedVertexArray = RecordArray<SkinnedVertex, PlainArrayPolicy>;

// ---------------------------------------------------------------------------------------
// Records.

struct Light {
    std::uint32_t tag = 1600;
    std::uint32_t kind = 1;  // 1 directional, 2 spot, 3 ambient, 4 area, other values point
    Transform transform;
    float param0 = 10.0f;
    float coneAngle = 20.0f;  // spot cone angle, degrees
    float param2 = 1.0f;
    float param3 = 1.0f;
    float intensity = 1.0f;
    Color color = kWhite;
    float param4 = 2.0f;
    float param5 = 8.0f;
    RecordName name;

    static Light zeroed();
};

struct Camera {
    std::uint32_t tag = 0;
    std::uint32_t kind = 0;  // 1 orthographic
    Transform transform;
    float fieldOfView = 45.0f;  // degrees
    float nearClip = 1.0f;
    float farClip = 1000.0f;
    RecordName name;

    static Camera zeroed();
};

// One input of a layered (kind 4) material layer.
struct LayerSubEntry {
    RecordName path;          // texture file
    std::int32_t value1 = 0;  // UV set index of the input
    std::uint32_t value2 = 0;
    float value3 = 0.0f;
};

// A texture or effect layer of a material. The head is common to all kinds; the fields
// after it are used by the kinds named in their comments (unused fields keep their
// creation defaults). A kind outside 1..7 has the kind-1 body.
struct MaterialLayer {
    static constexpr std::uint32_t kFlagTexture = 0x1;
    static constexpr std::uint32_t kFlagNormalMap = 0x2;
    static constexpr std::uint32_t kFlagWrapU = 0x100000;
    static constexpr std::uint32_t kFlagWrapV = 0x200000;
    static constexpr std::uint32_t kCreationFlags = 0x310000;
    static constexpr int kKind5PathCount = 6;

    // Head.
    std::int32_t channel = 0;  // at most one layer per channel within a material
    std::int32_t kind = 1;     // 1 to 7
    std::uint32_t flags = kCreationFlags;
    Vec3 offset = {0.0f, 0.0f, 0.0f};    // texture offset in U and V
    Vec3 repeat = {1.0f, 1.0f, 1.0f};    // repeat in U and V
    Vec3 rotation = {0.0f, 0.0f, 0.0f};  // texture rotation in degrees in z

    // Kinds 1, 2, 3, 6, 7 and other kinds: the texture path and the u32 after it
    // (value1: 0, kind 6: 256, kind 7: 0). Kinds 1, 2, 3, other: value2 2.0, value3 1.0.
    RecordName path;
    std::uint32_t value1 = 0;
    float value2 = 2.0f;
    float value3 = 1.0f;
    // Kind 2: two floats (8.0, 8.0) and a packed colour (0xC4C4C4).
    float value4 = 8.0f;
    float value5 = 8.0f;
    std::uint32_t packedColor = 0xC4C4C4;
    // Kind 2: its last u32 (0). Kind 3: its further u32 (2).
    std::uint32_t extraWord = 0;
    // Kind 4: the inputs, absent at creation.
    LayerSubEntryArray subEntries;
    // Kind 5: six empty paths at creation; empty for other kinds.
    std::vector<RecordName> paths;

    // A layer as created for a material slot: the head and body defaults of its kind.
    MaterialLayer(std::int32_t channel, std::int32_t kind);

    std::int32_t subEntryCount() const { return subEntries.count(); }
    // True for the kinds whose body starts with path, value1, value2, value3.
    bool hasKind1Body() const { return kind != 4 && kind != 5 && kind != 6 && kind != 7; }
};

struct Material {
    RecordName name;
    std::uint32_t flags = 0;
    Color diffuse = kWhite;
    Color ambient = kOpaqueBlack;
    Color color3 = kOpaqueBlack;  // stored in files, not exchanged with the host
    Color specular = kOpaqueBlack;
    Color color5 = kOpaqueBlack;  // stored in files, not exchanged with the host
    float shininess = 128.0f;     // 0..128
    float opacity = 1.0f;         // host transparency = 1 - opacity
    std::uint32_t useCount = 0;   // polygons referencing this material
    LayerSlotArray layers;        // slots; a slot may be null

    static Material zeroed();
    Material() = default;
    Material(Material&&) noexcept = default;
    Material& operator=(Material&&) noexcept = default;
    Material(const Material&) = delete;  // layers are owned; use copyFrom
    Material& operator=(const Material&) = delete;

    std::int32_t layerCount() const { return layers.count(); }
    // The first non-null layer whose channel matches, or nullptr.
    MaterialLayer* findLayer(std::int32_t channel);
    const MaterialLayer* findLayer(std::int32_t channel) const;
    // Creates a layer of the given kind in an (empty) slot. Returns nullptr when the
    // material has no slot array, the slot is out of range, a layer with this channel
    // exists or memory runs out.
    MaterialLayer* addLayer(std::int32_t slot, std::int32_t channel, std::int32_t kind);
    // Copies the name, the values from diffuse to opacity and every layer (same slot,
    // channel and kind, head and contents). Refused (returns 0, nothing changed) when
    // this material already has a slot array; also 0 when memory runs out.
    int copyFrom(const Material& source);
};

struct MaterialUsage {
    std::int32_t materialIndex = 0;
    std::uint32_t polygonCount = 0;
};

// Group i describes mesh i of Scene.meshes.
struct Group {
    RecordName name;
    std::uint32_t flags = 0;
    std::int32_t parentIndex = -1;
    Transform transform;
    std::uint32_t extraWord = 0;  // the u32 that follows the transform in memory; the file does not store it
    MaterialUsageArray materialUsages;

    static Group zeroed();
    std::int32_t materialUsageCount() const { return materialUsages.count(); }
};

struct VertexWeight {
    std::int32_t influenceIndex = -1;  // position in the owning mesh's influence names
    std::int32_t boneIndex = -1;       // index into Scene.bones
    float weight = 1.0f;
};

struct Vertex {
    static constexpr std::uint32_t kFlagMark = 4;  // transient mark of post-load pruning

    std::uint32_t flags = 0;
    Vec3 position;
    Vec3 normal;
    float work[6] = {};  // scratch values, not stored in files
    Color color = kWhite;
    VertexWeightArray weights;

    static Vertex zeroed();
    std::int32_t weightCount() const { return weights.count(); }
};

// Copies position, normal and colour, and appends each of source's weights to target's.
// Returns 0 when memory runs out.
int copyVertex(Vertex& target, const Vertex& source);

struct Triangle {
    std::uint32_t firstWord = 0;
    std::uint32_t secondWord = 0;  // not stored in files
    std::int32_t groupIndex = -1;
    std::int32_t materialIndex = -1;
    std::int32_t vertexIndices[3] = {-1, -1, -1};
    std::int32_t secondIndices[3] = {-1, -1, -1};  // normal or UV indices
    std::uint32_t finalWord = 0;

    static Triangle zeroed();
};

struct UVCoord {
    std::uint32_t word = 0;
    float u = 0.0f;
    float v = 0.0f;
};

struct UVSet {
    RecordName name;
    UVCoordArray coords;
    UVTriangleArray triangles;

    std::int32_t coordCount() const { return coords.count(); }
    std::int32_t triangleCount() const { return triangles.count(); }
};

// The two per-corner index arrays of one UV slot of a polygon (slot s belongs to UV set
// s): UV coordinate indices and a second index per corner. Views into the polygon's
// storage, cornerCount entries each; both null when the slot does not exist.
template <class Int>
struct BasicPolygonUVs {
    Int* uvIndices = nullptr;
    Int* secondIndices = nullptr;
};
using PolygonUVs = BasicPolygonUVs<std::int32_t>;
using ConstPolygonUVs = BasicPolygonUVs<const std::int32_t>;

// A polygon with any number of corners. All per-corner arrays (vertex, normal and colour
// indices, edge flags, and two index arrays per UV slot) lie side by side in one block:
// either storage of the polygon's own (createCorners) or a block taken from its mesh's
// corner pool (createCornersIn), which is how a loaded mesh holds the corners of all its
// polygons in one allocation. The accessors return nullptr until corners exist. A polygon
// moves but does not copy; a polygon with pooled corners stays valid as long as the pool,
// so whoever moves it to another mesh moves the pool along (Mesh::cornerPool).
struct Polygon {
    static constexpr std::uint32_t kFlagMark = 1;           // mark of post-load pruning
    static constexpr std::uint32_t kEdgeHard = 0x200;       // edge flag: hard edge
    static constexpr std::uint32_t kEdgeSmooth = 0x100000;  // edge flag: smooth edge
    static constexpr std::int32_t kDefaultUVChannels = 2;

    std::uint32_t flags = 0;
    std::int32_t groupIndex = -1;     // scene form: the Group of the source mesh
    std::int32_t materialIndex = -1;  // Mesh.materials (host side) or Scene.materials
    std::uint32_t fourthField = 0;    // stored in files

    Polygon() = default;
    Polygon(Polygon&& other) noexcept;
    Polygon& operator=(Polygon&& other) noexcept;
    Polygon(const Polygon&) = delete;
    Polygon& operator=(const Polygon&) = delete;
    ~Polygon() = default;

    static Polygon zeroed();

    // The 32-bit entries that the corner arrays of a polygon with these counts take (after
    // the raise to 3 corners and 2 UV slots), for sizing a corner pool; 0 when too many.
    static std::size_t cornerStorage(std::int32_t cornerCount, std::int32_t uvChannels = kDefaultUVChannels);

    // Creates every corner array for max(cornerCount, 3) corners and max(uvChannels, 2)
    // UV slots: vertex, normal and colour indices and UV indices -1, edge flags 0.
    // Refused (returns 0) when the corner arrays exist; 0 also when memory runs out.
    int createCorners(std::int32_t cornerCount, std::int32_t uvChannels = kDefaultUVChannels);
    // The same, in a block taken from `pool` when its last block has room (else in
    // storage of the polygon's own).
    int createCornersIn(RecordPool<std::int32_t>& pool, std::int32_t cornerCount,
                        std::int32_t uvChannels = kDefaultUVChannels);
    // Releases the corner arrays (cornerCount and uvChannelCount back to 0). Pooled
    // corners return to the pool only when the whole pool is cleared.
    void releaseCorners();
    bool hasCorners() const { return cornerCount_ > 0; }

    std::int32_t cornerCount() const { return cornerCount_; }
    std::int32_t uvChannelCount() const { return uvChannelCount_; }

    std::int32_t* vertexIndices() { return array(0); }
    const std::int32_t* vertexIndices() const { return array(0); }
    std::int32_t* normalIndices() { return array(1); }
    const std::int32_t* normalIndices() const { return array(1); }
    std::int32_t* colorIndices() { return array(2); }
    const std::int32_t* colorIndices() const { return array(2); }
    // Per corner, for the edge that leaves the corner: kEdgeSmooth or kEdgeHard.
    std::uint32_t* edgeFlags() { return reinterpret_cast<std::uint32_t*>(array(3)); }
    const std::uint32_t* edgeFlags() const { return reinterpret_cast<const std::uint32_t*>(array(3)); }
    PolygonUVs uvs(std::int32_t slot);
    ConstPolygonUVs uvs(std::int32_t slot) const;

  private:
    static constexpr std::int32_t kFixedArrays = 4;
    std::int32_t* array(std::int32_t k) {
        return cornerCount_ > 0 ? corners_ + std::size_t(k) * std::size_t(cornerCount_) : nullptr;
    }
    const std::int32_t* array(std::int32_t k) const {
        return cornerCount_ > 0 ? corners_ + std::size_t(k) * std::size_t(cornerCount_) : nullptr;
    }
    // Sets the counts and the default values over a block of cornerStorage() entries.
    void placeCorners(std::int32_t* block, std::int32_t corners, std::int32_t channels);

    std::int32_t cornerCount_ = 0;
    std::int32_t uvChannelCount_ = 0;
    std::int32_t* corners_ = nullptr;        // (4 + 2 * uvChannelCount) arrays of cornerCount
    std::unique_ptr<std::int32_t[]> owned_;  // the block when it is the polygon's own
};

// A polygon-form mesh.
struct Mesh {
    // Corner storage shared by this mesh's polygons (a loaded mesh puts all of them here);
    // declared first so that it outlives the polygons.
    RecordPool<std::int32_t> cornerPool;
    OwnedString path;  // full host path of the source shape (null until set)
    MeshMaterialArray materials;
    ColorArray colors;  // indexed by the polygons' colour indices
    MeshUVSetArray uvSets;
    VertexArray vertices;
    PolygonArray polygons;
    InfluenceNameArray influenceNames;  // full host paths of the skin influences
    std::uint32_t skinned = 0;          // 1 once a skin cluster has been taken
    char name[kNameCapacity] = {};      // narrow only

    void setName(std::string_view text) { copyNarrowName(name, text); }
};

// The handle of the host joint made for or read from a bone. The scene model does not
// know host types: the host-facing code assigns these ids and keeps the host objects
// they stand for (0 means none). Cleared with the bone.
using HostHandle = std::uint64_t;
constexpr HostHandle kNoHostHandle = 0;

struct Bone {
    RecordName name;
    OwnedString fullPath;    // export side
    OwnedString parentPath;  // export side
    std::int32_t parentIndex = -1;
    // The fields from restRotationMatrix to restEuler are laid out as a Transform; the
    // rest fields are filled only by readers of files that store the whole block.
    Matrix3 restRotationMatrix = {};
    Vec3 position = {0.0f, 0.0f, 0.0f};  // rest translation relative to the parent
    Vec3 scale = {1.0f, 1.0f, 1.0f};
    Matrix4 restMatrix = {};
    Quat rotation = {0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 restEuler = {0.0f, 0.0f, 0.0f};
    Color color = kWhite;
    Matrix4 localMatrix = kIdentityMatrix4;
    Matrix4 worldMatrix = kIdentityMatrix4;
    std::uint32_t weightedVertexCount = 0;
    std::uint32_t eulerFlipFlag = 0;
    HostHandle hostJoint = kNoHostHandle;

    static Bone zeroed();
    // The transform-shaped block (rest matrices, position, scale, rotation, rest Euler).
    Transform restTransform() const;
    void setRestTransform(const Transform& transform);
};

struct PositionKey {
    float time = 0.0f;  // seconds
    Vec3 value;
};

struct RotationKey {
    float time = 0.0f;
    Quat value;  // (0,0,0,1)
    Vec3 euler;  // radians; filled by the host-side sampler, not stored in files
};

struct ScaleKey {
    float time = 0.0f;
    Vec3 value = {1.0f, 1.0f, 1.0f};
};

// An entry of a track's fourth key list: an owned buffer, never stored in files.
struct TrackExtraEntry {
    std::vector<std::uint8_t> buffer;
};

// The keys of one bone; times non-decreasing within each list.
struct BoneTrack {
    PositionKeyArray positionKeys;
    RotationKeyArray rotationKeys;
    ScaleKeyArray scaleKeys;
    TrackExtraArray extraEntries;
};

struct Animation {
    RecordName name;
    std::uint32_t flags = 0;
    float startTick = 0.0f;
    float tickCount = 30.0f;  // end tick = startTick + tickCount
    float fps = 30.0f;
    BoneTrackArray tracks;  // one per bone, in bone order

    Animation() { name.set("DefaultAnim"); }
    static Animation zeroed();
    std::int32_t trackCount() const { return tracks.count(); }
};

// The bind pose and current pose of one bone (same index as the Bone).
struct BonePose {
    Vec3 worldPosition;
    Vec3 position;
    Vec3 scale = {1.0f, 1.0f, 1.0f};
    Quat rotation;  // (0,0,0,1)
    Matrix4 bindLocal = kIdentityMatrix4;
    Matrix4 bindWorld = kIdentityMatrix4;
    Matrix4 inverseBindWorld = kIdentityMatrix4;
    Matrix4 poseLocal = kIdentityMatrix4;  // at the last evaluated time
    Matrix4 poseWorld = kIdentityMatrix4;  // at the last evaluated time
    char name[kNameCapacity] = {};
    std::int32_t parentIndex = -1;
    float length = 0.0f;  // distance from the parent's worldPosition; 0 for a root
};

// The skinned position of one scene vertex (same index as the Vertex).
struct SkinnedVertex {
    Vec3 position;
    Vec3 normal;
};

// The defaults of the arrays that a load fills by the million, inline so that allocating
// them is a plain store loop.
inline Vertex Vertex::zeroed() {
    Vertex vertex;
    vertex.color = Color{};
    return vertex;
}
inline void VertexArrayPolicy::onAllocate(Vertex& vertex, std::int32_t) {
    vertex.color = kWhite;
}
inline void VertexWeightArrayPolicy::onAllocate(VertexWeight& weight, std::int32_t) {
    weight = {0, -1, 1.0f};
}
inline void VertexWeightArrayPolicy::onAppend(VertexWeight& weight, std::int32_t) {
    weight = {-1, -1, 1.0f};
}
inline Polygon Polygon::zeroed() {
    Polygon polygon;
    polygon.groupIndex = polygon.materialIndex = 0;
    return polygon;
}
inline void PolygonArrayPolicy::onAllocate(Polygon& polygon, std::int32_t) {
    polygon.groupIndex = -1;
    polygon.materialIndex = -1;
}

// Declared counts, read from a file before its arrays are allocated.
struct SceneCounts {
    std::uint32_t lights = 0;
    std::uint32_t cameras = 0;
    std::uint32_t materials = 0;
    std::uint32_t groups = 0;
    std::uint32_t vertices = 0;
    std::uint32_t triangles = 0;
    std::uint32_t uvSets = 0;
    std::uint32_t meshes = 0;
    std::uint32_t bones = 0;
    std::uint32_t animations = 0;
    std::uint32_t infoStrings = 0;  // nothing in the model reads it
};

// ---------------------------------------------------------------------------------------
// The scene.

struct Scene {
    // Weight storage shared by the scene vertices' weight arrays (a loaded scene puts all of
    // them here); declared first so that it outlives the vertices.
    RecordPool<VertexWeight> weightPool;
    std::uint32_t fileVersion = 0;  // version of the file last parsed
    LightArray lights;
    std::uint32_t parserMark = 0;  // scratch read position of the parser
    CameraArray cameras;
    SceneMaterialArray materials;  // polygons and triangles index this array
    GroupArray groups;
    VertexArray vertices;  // scene-wide
    SceneTriangleArray triangles;
    SceneUVSetArray uvSets;
    std::uint32_t legacyUVCount = 0;  // corners over all meshes, counted by the parser
    MeshArray meshes;
    BoneArray bones;  // a bone's parent has a smaller index
    AnimationArray animations;
    SceneCounts counts;

    // Pose tables of the pose evaluation (see Animation.h); released by clear().
    BonePoseArray bonePoses;
    SkinnedVertexArray skinnedVertices;

    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    Scene(Scene&&) noexcept = default;
    Scene& operator=(Scene&&) noexcept = default;

    // Clears lights, cameras, groups, bones, materials, vertices, triangles, UV sets,
    // animations, meshes, then the pose tables, then zeroes the counts and
    // legacyUVCount, and releases the weight pool. Every array ends absent.
    void clear();

    // Index of the first material whose narrow name equals `name` byte for byte; -1 when
    // there is none, `name` is null or there are no materials.
    std::int32_t findMaterialByName(const char* name) const;
};
