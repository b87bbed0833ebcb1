#include "scene/Scene.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {

// The transform that appended lights and cameras get: the default one with a zero
// quaternion.
Transform appendedTransform() {
    Transform t;
    t.quaternion = {0.0f, 0.0f, 0.0f, 0.0f};
    return t;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Zero states.

Light Light::zeroed() {
    Light light;
    light.tag = 0;
    light.kind = 0;
    light.transform = Transform::zeroed();
    light.param0 = light.coneAngle = light.param2 = light.param3 = light.intensity = 0.0f;
    light.color = {};
    light.param4 = light.param5 = 0.0f;
    return light;
}

Camera Camera::zeroed() {
    Camera camera;
    camera.transform = Transform::zeroed();
    camera.fieldOfView = camera.nearClip = camera.farClip = 0.0f;
    return camera;
}

Material Material::zeroed() {
    Material material;
    material.diffuse = material.ambient = material.color3 = material.specular = material.color5 = Color{};
    material.shininess = 0.0f;
    material.opacity = 0.0f;
    return material;
}

Group Group::zeroed() {
    Group group;
    group.parentIndex = 0;
    group.transform = Transform::zeroed();
    return group;
}

Triangle Triangle::zeroed() {
    Triangle triangle;
    triangle.groupIndex = triangle.materialIndex = 0;
    std::fill(std::begin(triangle.vertexIndices), std::end(triangle.vertexIndices), 0);
    std::fill(std::begin(triangle.secondIndices), std::end(triangle.secondIndices), 0);
    return triangle;
}

Bone Bone::zeroed() {
    Bone bone;
    bone.parentIndex = 0;
    bone.scale = {0.0f, 0.0f, 0.0f};
    bone.rotation = {0.0f, 0.0f, 0.0f, 0.0f};
    bone.color = Color{};
    bone.localMatrix = {};
    bone.worldMatrix = {};
    return bone;
}

Animation Animation::zeroed() {
    Animation animation;
    animation.name.clear();
    animation.tickCount = 0.0f;
    animation.fps = 0.0f;
    return animation;
}

// ---------------------------------------------------------------------------------------
// Array defaults.

void LightArrayPolicy::onAppend(Light& light, std::int32_t) {
    light.tag = 1600;
    light.kind = 1;
    light.transform = appendedTransform();
    light.param0 = 10.0f;
    light.coneAngle = 20.0f;
    light.param2 = 0.0f;
    light.param3 = 1.0f;
    light.intensity = 1.0f;
    light.color = kWhite;
    light.param4 = 2.0f;
    light.param5 = 8.0f;
}

void CameraArrayPolicy::onAppend(Camera& camera, std::int32_t) {
    camera.tag = 0;
    camera.kind = 0;
    camera.transform = appendedTransform();
    camera.fieldOfView = 45.0f;
    camera.nearClip = 1.0f;
    camera.farClip = 1000.0f;
}

void SceneMaterialArrayPolicy::onAllocate(Material& material, std::int32_t) {
    material.diffuse = kWhite;
    material.ambient = material.color3 = material.specular = material.color5 = kOpaqueBlack;
    material.shininess = 128.0f;
    material.opacity = 1.0f;
}

void GroupArrayPolicy::onAllocate(Group& group, std::int32_t index) {
    group.name.setNumbered("QVXGroup", index);
}

void SceneTriangleArrayPolicy::onAllocate(Triangle& triangle, std::int32_t) {
    std::fill(std::begin(triangle.vertexIndices), std::end(triangle.vertexIndices), -1);
    std::fill(std::begin(triangle.secondIndices), std::end(triangle.secondIndices), -1);
}

void SceneUVSetArrayPolicy::onAllocate(UVSet& uvSet, std::int32_t index) {
    uvSet.name.setNumbered("UVSet", std::int64_t(index) + 1);
}

void MeshArrayPolicy::onAllocate(Mesh& mesh, std::int32_t index) {
    char buffer[kNameCapacity];
    std::snprintf(buffer, sizeof buffer, "QVXMesh%d", index);
    mesh.setName(buffer);
    mesh.path.reset();
}

void BoneArrayPolicy::onAllocate(Bone& bone, std::int32_t index) {
    onAppend(bone, index, -1);
}

void BoneArrayPolicy::onAppend(Bone& bone, std::int32_t, std::int32_t parentIndex) {
    bone.parentIndex = parentIndex;
    bone.position = {0.0f, 0.0f, 0.0f};
    bone.rotation = {0.0f, 0.0f, 0.0f, 1.0f};
    bone.scale = {1.0f, 1.0f, 1.0f};
    bone.color = kWhite;
    bone.localMatrix = kIdentityMatrix4;
    bone.worldMatrix = kIdentityMatrix4;
}

void AnimationArrayPolicy::onAllocate(Animation& animation, std::int32_t) {
    animation.name.set("DefaultAnim");
    animation.startTick = 0.0f;
    animation.tickCount = 30.0f;
    animation.fps = 30.0f;
}

void RotationKeyArrayPolicy::onAllocate(RotationKey& key, std::int32_t) {
    key.value = {0.0f, 0.0f, 0.0f, 1.0f};
}

void ScaleKeyArrayPolicy::onAllocate(ScaleKey& key, std::int32_t) {
    key.value = {1.0f, 1.0f, 1.0f};
}

void BonePoseArrayPolicy::onAllocate(BonePose& pose, std::int32_t) {
    pose = BonePose{};
}

// ---------------------------------------------------------------------------------------
// Materials.

MaterialLayer::MaterialLayer(std::int32_t channelValue, std::int32_t kindValue)
    : channel(channelValue), kind(kindValue) {
    switch (kind) {
        case 3:
            extraWord = 2;
            break;
        case 5:
            paths.resize(kKind5PathCount);
            break;
        case 6:
            value1 = 256;
            break;
        default:
            break;
    }
}

MaterialLayer* Material::findLayer(std::int32_t channel) {
    for (auto& slot : layers) {
        if (slot && slot->channel == channel) return slot.get();
    }
    return nullptr;
}

const MaterialLayer* Material::findLayer(std::int32_t channel) const {
    for (const auto& slot : layers) {
        if (slot && slot->channel == channel) return slot.get();
    }
    return nullptr;
}

MaterialLayer* Material::addLayer(std::int32_t slot, std::int32_t channel, std::int32_t kind) {
    if (layers.absent() || !layers.validIndex(slot) || findLayer(channel) != nullptr) return nullptr;
    // An occupied slot is refused rather than replaced, so that no layer is lost.
    if (layers[slot]) return nullptr;
    try {
        layers[slot] = std::make_unique<MaterialLayer>(channel, kind);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return layers[slot].get();
}

int Material::copyFrom(const Material& source) {
    if (layers.present()) return 0;
    name.copyFrom(source.name);
    diffuse = source.diffuse;
    ambient = source.ambient;
    color3 = source.color3;
    specular = source.specular;
    color5 = source.color5;
    shininess = source.shininess;
    opacity = source.opacity;
    if (source.layers.absent()) return 1;
    if (!layers.allocate(source.layers.count())) return 0;
    for (std::int32_t slot = 0; slot < source.layers.count(); ++slot) {
        const MaterialLayer* from = source.layers[slot].get();
        if (from == nullptr) continue;
        MaterialLayer* to = addLayer(slot, from->channel, from->kind);
        if (to == nullptr) continue;  // a second layer on a channel is not carried over
        try {
            *to = *from;
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    return 1;
}

// ---------------------------------------------------------------------------------------
// Vertices and polygons.

int copyVertex(Vertex& target, const Vertex& source) {
    target.position = source.position;
    target.normal = source.normal;
    target.color = source.color;
    if (!target.weights.reserve(target.weights.count() + source.weights.count())) return 0;
    for (const VertexWeight& weight : source.weights) {
        VertexWeight* copy = target.weights.append();
        if (copy == nullptr) return 0;
        *copy = weight;
    }
    return 1;
}

Polygon::Polygon(Polygon&& other) noexcept
    : flags(other.flags),
      groupIndex(other.groupIndex),
      materialIndex(other.materialIndex),
      fourthField(other.fourthField),
      cornerCount_(std::exchange(other.cornerCount_, 0)),
      uvChannelCount_(std::exchange(other.uvChannelCount_, 0)),
      corners_(std::exchange(other.corners_, nullptr)),
      owned_(std::move(other.owned_)) {}

Polygon& Polygon::operator=(Polygon&& other) noexcept {
    if (this != &other) {
        flags = other.flags;
        groupIndex = other.groupIndex;
        materialIndex = other.materialIndex;
        fourthField = other.fourthField;
        cornerCount_ = std::exchange(other.cornerCount_, 0);
        uvChannelCount_ = std::exchange(other.uvChannelCount_, 0);
        corners_ = std::exchange(other.corners_, nullptr);
        owned_ = std::move(other.owned_);
    }
    return *this;
}

std::size_t Polygon::cornerStorage(std::int32_t cornerCount, std::int32_t uvChannels) {
    const std::int64_t corners = std::max<std::int64_t>(cornerCount, 3);
    const std::int64_t channels = std::max<std::int64_t>(uvChannels, kDefaultUVChannels);
    const std::int64_t total = corners * (kFixedArrays + 2 * channels);
    return total > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::size_t>(total);
}

void Polygon::placeCorners(std::int32_t* block, std::int32_t corners, std::int32_t channels) {
    corners_ = block;
    cornerCount_ = std::max(corners, 3);
    uvChannelCount_ = std::max(channels, kDefaultUVChannels);
    const std::size_t n = std::size_t(cornerCount_);
    std::fill_n(corners_, 3 * n, -1);     // vertex, normal and colour indices
    std::fill_n(corners_ + 3 * n, n, 0);  // edge flags
    std::fill_n(corners_ + 4 * n, 2 * n * std::size_t(uvChannelCount_), -1);
}

int Polygon::createCorners(std::int32_t cornerCount, std::int32_t uvChannels) {
    if (hasCorners()) return 0;
    const std::size_t total = cornerStorage(cornerCount, uvChannels);
    if (total == 0) return 0;
    try {
        owned_ = std::make_unique<std::int32_t[]>(total);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    placeCorners(owned_.get(), cornerCount, uvChannels);
    return 1;
}

int Polygon::createCornersIn(RecordPool<std::int32_t>& pool, std::int32_t cornerCount,
                             std::int32_t uvChannels) {
    if (hasCorners()) return 0;
    const std::size_t total = cornerStorage(cornerCount, uvChannels);
    if (total == 0) return 0;
    std::int32_t* block = pool.take(total);
    if (block == nullptr) return createCorners(cornerCount, uvChannels);
    placeCorners(block, cornerCount, uvChannels);
    return 1;
}

void Polygon::releaseCorners() {
    owned_.reset();
    corners_ = nullptr;
    cornerCount_ = 0;
    uvChannelCount_ = 0;
}

PolygonUVs Polygon::uvs(std::int32_t slot) {
    if (slot < 0 || slot >= uvChannelCount_) return {};
    return {array(kFixedArrays + 2 * slot), array(kFixedArrays + 2 * slot + 1)};
}

ConstPolygonUVs Polygon::uvs(std::int32_t slot) const {
    if (slot < 0 || slot >= uvChannelCount_) return {};
    return {array(kFixedArrays + 2 * slot), array(kFixedArrays + 2 * slot + 1)};
}

// ---------------------------------------------------------------------------------------
// Bones.

Transform Bone::restTransform() const {
    Transform t;
    t.rotationMatrix = restRotationMatrix;
    t.translation = position;
    t.scale = scale;
    t.matrix = restMatrix;
    t.quaternion = rotation;
    t.euler = restEuler;
    return t;
}

void Bone::setRestTransform(const Transform& t) {
    restRotationMatrix = t.rotationMatrix;
    position = t.translation;
    scale = t.scale;
    restMatrix = t.matrix;
    rotation = t.quaternion;
    restEuler = t.euler;
}

// ---------------------------------------------------------------------------------------
// Scene.

void Scene::clear() {
    lights.clear();
    cameras.clear();
    groups.clear();
    bones.clear();
    materials.clear();
    vertices.clear();
    triangles.clear();
    uvSets.clear();
    animations.clear();
    meshes.clear();
    bonePoses.clear();
    skinnedVertices.clear();
    weightPool.clear();
    counts = SceneCounts{};
    legacyUVCount = 0;
}

std::int32_t Scene::findMaterialByName(const char* name) const {
    if (name == nullptr) return -1;
    const std::string_view wanted(name);
    for (std::int32_t i = 0; i < materials.count(); ++i) {
        if (materials[i].name.narrowView() == wanted) return i;
    }
    return -1;
}
