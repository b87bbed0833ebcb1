#include "export/ShadingGatherer.h"

#include <maya/MColor.h>
#include <maya/MFileObject.h>
#include <maya/MFnBlinnShader.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scene/Scene.h"

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
constexpr float kMaxShininess = 128.0f;
// Channels of the material layers: the colour texture and the bump texture.
constexpr std::int32_t kColorChannel = 0;
constexpr std::int32_t kBumpChannel = 2;
constexpr std::int32_t kTextureLayerKind = 1;
constexpr std::int32_t kLayeredLayerKind = 4;
constexpr int kLayeredInputs = 2;
constexpr std::int32_t kLayeredSubEntries = 3;

// What one surface shader contributes to its material.
struct ShaderInfo {
    Color diffuse = kWhite;
    Color ambient = kOpaqueBlack;
    std::string diffuseTexture;
    std::string bumpTexture;
    int bumpInterp = 0;
    Vec3 offset = {0.0f, 0.0f, 0.0f};
    Vec3 repeat = {1.0f, 1.0f, 1.0f};
    Vec3 rotation = {0.0f, 0.0f, 0.0f};
    int wrapU = 1;
    int wrapV = 1;
    bool layered = false;
    std::string layerTexture[kLayeredInputs];
    int layerUVSet[kLayeredInputs] = {0, 0};
};

MPlug plugOf(const MObject& node, const char* attribute) {
    MStatus status;
    MFnDependencyNode fn(node, &status);
    if (!status) return MPlug();
    MPlug plug = fn.findPlug(attribute, &status);
    return status ? plug : MPlug();
}

template <class T>
bool readValue(const MObject& node, const char* attribute, T& out) {
    const MPlug plug = plugOf(node, attribute);
    if (plug.isNull()) return false;
    T value;
    if (!plug.getValue(value)) return false;
    out = value;
    return true;
}

// The plug that feeds `plug`, or a null plug.
MPlug sourcePlug(const MPlug& plug) {
    if (plug.isNull()) return MPlug();
    MPlugArray sources;
    plug.connectedTo(sources, true, false);
    return sources.length() > 0 ? sources[0] : MPlug();
}

MObject sourceNode(const MPlug& plug) {
    const MPlug source = sourcePlug(plug);
    return source.isNull() ? MObject() : source.node();
}

// The file-name part of a texture's path, its directory dropped.
std::string textureFileName(const MObject& file) {
    MString path;
    if (!readValue(file, "fileTextureName", path)) return std::string();
    MFileObject object;
    object.setFullName(path);
    return object.name().asChar();
}

// Offset, repeat, rotation and wraps from the placement node that feeds a file texture.
void readPlacement(const MObject& file, ShaderInfo& info) {
    const MObject placement = sourceNode(plugOf(file, "uvCoord"));
    if (placement.isNull() || !placement.hasFn(MFn::kPlace2dTexture)) return;
    int wrapU = 1;
    int wrapV = 1;
    if (!readValue(placement, "wrapU", wrapU)) wrapU = 1;
    if (!readValue(placement, "wrapV", wrapV)) wrapV = 1;
    float offsetU = info.offset.x;
    float offsetV = info.offset.y;
    float repeatU = info.repeat.x;
    float repeatV = info.repeat.y;
    readValue(placement, "offsetU", offsetU);
    readValue(placement, "offsetV", offsetV);
    readValue(placement, "repeatU", repeatU);
    readValue(placement, "repeatV", repeatV);
    info.offset = {offsetU, offsetV, 0.0f};
    info.repeat = {repeatU, repeatV, 1.0f};
    float rotateUV = 0.0f;  // radians
    if (readValue(placement, "rotateUV", rotateUV))
        info.rotation = {0.0f, 0.0f, rotateUV * kDegreesPerRadian};
    info.wrapU = wrapU;
    info.wrapV = wrapV;
}

// The position of the mesh's UV set that a layered texture's input reads: the set its UV
// chooser takes from this mesh, else the mesh's first UV set.
int uvSetIndexOf(const MObject& texture, const MObject& mesh, const MString& firstUVSet) {
    const MPlug meshSets = plugOf(mesh, "uvSet");
    MObject node = texture;
    std::vector<MObject> visited;
    while (!node.isNull() && !node.hasFn(MFn::kUvChooser)) {
        // A cycle of uvCoord connections would otherwise never end.
        if (std::find(visited.begin(), visited.end(), node) != visited.end()) {
            node = MObject();
            break;
        }
        visited.push_back(node);
        node = sourceNode(plugOf(node, "uvCoord"));
    }
    if (!node.isNull() && !meshSets.isNull()) {
        const MPlug chooserSets = plugOf(node, "uvSets");
        const unsigned elements = chooserSets.isNull() ? 0 : chooserSets.numElements();
        for (unsigned e = 0; e < elements; ++e) {
            const MPlug source = sourcePlug(chooserSets.elementByPhysicalIndex(e));
            if (source.isNull() || source.node() != mesh) continue;
            // The source is a child of one element of the mesh's "uvSet" array.
            MPlug element = source;
            while (!element.isNull() && !element.isElement()) element = element.parent();
            if (element.isNull() || element.array() != meshSets) continue;
            const unsigned logical = element.logicalIndex();
            const unsigned setCount = meshSets.numElements();
            for (unsigned i = 0; i < setCount; ++i) {
                if (meshSets.elementByPhysicalIndex(i).logicalIndex() == logical) return static_cast<int>(i);
            }
        }
    }
    const unsigned setCount = meshSets.isNull() ? 0 : meshSets.numElements();
    for (unsigned i = 0; i < setCount; ++i) {
        const MPlug element = meshSets.elementByPhysicalIndex(i);
        if (element.numChildren() == 0) continue;
        MString name;
        if (element.child(0).getValue(name) && name == firstUVSet) return static_cast<int>(i);
    }
    return 0;
}

void readLayeredTexture(const MObject& layered, const MObject& mesh, const MString& firstUVSet,
                        ShaderInfo& info) {
    info.layered = true;
    const MPlug inputs = plugOf(layered, "inputs");
    if (inputs.isNull()) return;
    MStatus status;
    MObject colorChild = MFnDependencyNode(layered).attribute("color", &status);
    if (!status) return;
    const unsigned elements = std::min(inputs.numElements(), static_cast<unsigned>(kLayeredInputs));
    for (unsigned e = 0; e < elements; ++e) {
        const MPlug color = inputs.elementByPhysicalIndex(e).child(colorChild, &status);
        if (!status) continue;
        const MObject texture = sourceNode(color);
        if (texture.isNull() || !texture.hasFn(MFn::kFileTexture)) continue;
        info.layerTexture[e] = textureFileName(texture);
        const int uvSet = uvSetIndexOf(texture, mesh, firstUVSet);
        if (uvSet == 0 || uvSet == 1) {
            info.layerUVSet[e] = uvSet;
        } else {
            info.layerUVSet[0] = 0;
            info.layerUVSet[1] = 1;
        }
        readPlacement(texture, info);
    }
}

// Colours, factors and textures of one shader.
void readShaderAttributes(const MObject& shader, const MObject& mesh, const MString& firstUVSet,
                          ShaderInfo& info) {
    float ambient[3] = {1.0f, 1.0f, 1.0f};
    readValue(shader, "ambientColorR", ambient[0]);
    readValue(shader, "ambientColorG", ambient[1]);
    readValue(shader, "ambientColorB", ambient[2]);
    info.ambient = {ambient[0], ambient[1], ambient[2], 1.0f};

    const char* channels[3] = {"colorR", "colorG", "colorB"};
    MPlug colorPlug = plugOf(shader, "color");
    if (colorPlug.isNull()) {
        colorPlug = plugOf(shader, "outColor");
        channels[0] = "outColorR";
        channels[1] = "outColorG";
        channels[2] = "outColorB";
    }
    bool textured = false;
    const MObject source = sourceNode(colorPlug);
    if (!source.isNull()) {
        if (source.hasFn(MFn::kLayeredTexture)) {
            readLayeredTexture(source, mesh, firstUVSet, info);
            textured = true;
        } else if (source.hasFn(MFn::kFileTexture)) {
            info.diffuseTexture = textureFileName(source);
            readPlacement(source, info);
            textured = true;
        }
    }
    if (!colorPlug.isNull() && !textured) {
        float factor = 1.0f;
        float rgb[3] = {1.0f, 1.0f, 1.0f};
        readValue(shader, "diffuse", factor);
        for (int c = 0; c < 3; ++c) readValue(shader, channels[c], rgb[c]);
        info.diffuse = {factor * rgb[0], factor * rgb[1], factor * rgb[2], 1.0f};
    }

    const MObject bump = sourceNode(plugOf(shader, "normalCamera"));
    if (!bump.isNull() && bump.hasFn(MFn::kBump)) {
        int interp = 0;
        if (readValue(bump, "bumpInterp", interp)) info.bumpInterp = interp;
        const MObject texture = sourceNode(plugOf(bump, "bumpValue"));
        if (!texture.isNull() && texture.hasFn(MFn::kFileTexture))
            info.bumpTexture = textureFileName(texture);
    }
}

void setLayerPlacement(MaterialLayer& layer, const ShaderInfo& info) {
    layer.flags =
        info.wrapU != 0 ? layer.flags | MaterialLayer::kFlagWrapU : layer.flags & ~MaterialLayer::kFlagWrapU;
    layer.flags =
        info.wrapV != 0 ? layer.flags | MaterialLayer::kFlagWrapV : layer.flags & ~MaterialLayer::kFlagWrapV;
    layer.offset = info.offset;
    layer.repeat = info.repeat;
    layer.rotation = info.rotation;
}

MStatus addLayers(GatherContext& context, Material& material, const ShaderInfo& info) {
    const bool colorLayer = info.layered || !info.diffuseTexture.empty();
    const bool bumpLayer = !info.bumpTexture.empty();
    const std::int32_t slots = (colorLayer ? 1 : 0) + (bumpLayer ? 1 : 0);
    if (slots == 0) return MS::kSuccess;
    if (!material.layers.allocate(slots)) return context.memoryFailure();

    std::int32_t nextSlot = 0;
    if (info.layered) {
        if (MaterialLayer* layer = material.addLayer(0, kColorChannel, kLayeredLayerKind)) {
            if (!layer->subEntries.allocate(kLayeredSubEntries)) return context.memoryFailure();
            for (LayerSubEntry& entry : layer->subEntries) {
                entry.value1 = 0;
                entry.value2 = 0;
                entry.value3 = 1.0f;
            }
            for (int e = 0; e < kLayeredInputs; ++e) {
                layer->subEntries[e].path.set(info.layerTexture[e]);
                layer->subEntries[e].value1 = info.layerUVSet[e];
                layer->subEntries[e].value2 = 0;
            }
            layer->flags |= MaterialLayer::kFlagTexture | MaterialLayer::kFlagNormalMap;
            setLayerPlacement(*layer, info);
            nextSlot = 1;
        }
    } else if (!info.diffuseTexture.empty()) {
        if (MaterialLayer* layer = material.addLayer(0, kColorChannel, kTextureLayerKind)) {
            layer->path.set(info.diffuseTexture);
            layer->flags |= MaterialLayer::kFlagTexture;
            setLayerPlacement(*layer, info);
            nextSlot = 1;
        }
    }
    if (bumpLayer) {
        if (MaterialLayer* layer = material.addLayer(nextSlot, kBumpChannel, kTextureLayerKind)) {
            layer->path.set(info.bumpTexture);
            layer->flags |= MaterialLayer::kFlagTexture;
            setLayerPlacement(*layer, info);
            if (info.bumpInterp > 0) layer->flags |= MaterialLayer::kFlagNormalMap;
        }
    }
    return MS::kSuccess;
}

MStatus fillMaterial(GatherContext& context, Material& material, const MObject& shadingGroup,
                     const MObject& mesh, const MString& firstUVSet) {
    // The record's own defaults (white, opaque, shininess 128), not the zero state that a
    // mesh's material array starts from: a group without a shader must not turn black
    // and fully transparent.
    material = Material();
    const MObject shader = sourceNode(plugOf(shadingGroup, "surfaceShader"));
    if (shader.isNull()) {
        material.name.set("none");
        return MS::kSuccess;
    }
    material.name.set(MFnDependencyNode(shader).name().asChar());

    ShaderInfo info;
    readShaderAttributes(shader, mesh, firstUVSet, info);

    float shininess = 128.0f;
    MColor transparency(0.0f, 0.0f, 0.0f, 1.0f);
    if (shader.hasFn(MFn::kPhong)) {
        shininess = MFnPhongShader(shader).cosPower();
    } else if (shader.hasFn(MFn::kBlinn)) {
        shininess = MFnBlinnShader(shader).specularRollOff();
    }
    if (shader.hasFn(MFn::kPhong) || shader.hasFn(MFn::kBlinn) || shader.hasFn(MFn::kLambert)) {
        transparency = MFnLambertShader(shader).transparency();
    }
    const float opacity = (1.0f - (transparency.r + transparency.g + transparency.b)) * transparency.a;
    material.opacity = std::clamp(opacity, 0.0f, 1.0f);
    material.shininess = std::clamp(shininess, 0.0f, kMaxShininess);
    material.diffuse = info.diffuse;
    material.ambient = info.ambient;
    return addLayers(context, material, info);
}

}  // namespace

MStatus gatherShading(GatherContext& context, const MDagPath& path, std::int32_t meshIndex) {
    if (!context.scene.meshes.validIndex(meshIndex)) return MS::kFailure;
    MStatus status;
    MFnMesh fn(path, &status);
    if (!status) return MS::kFailure;
    const MObject meshNode = fn.object();
    MStringArray uvSetNames;
    fn.getUVSetNames(uvSetNames);
    const MString firstUVSet = uvSetNames.length() > 0 ? uvSetNames[0] : MString();

    Mesh& mesh = context.scene.meshes[meshIndex];
    const unsigned instances = fn.parentCount();
    for (unsigned i = 0; i < instances; ++i) {
        MObjectArray groups;
        MIntArray faceGroups;
        if (!fn.getConnectedShaders(i, groups, faceGroups) || groups.length() == 0) continue;
        if (!mesh.materials.allocate(static_cast<std::int32_t>(groups.length())))
            return context.memoryFailure();
        for (unsigned k = 0; k < groups.length(); ++k) {
            status = fillMaterial(context, mesh.materials[static_cast<std::int32_t>(k)], groups[k], meshNode,
                                  firstUVSet);
            if (!status) return status;
        }
        const std::int32_t polygons =
            std::min(mesh.polygons.count(), static_cast<std::int32_t>(faceGroups.length()));
        for (std::int32_t p = 0; p < polygons; ++p)
            mesh.polygons[p].materialIndex = faceGroups[static_cast<unsigned>(p)];
    }
    return MS::kSuccess;
}
