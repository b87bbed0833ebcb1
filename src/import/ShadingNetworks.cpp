#include <maya/MColor.h>
#include <maya/MDGModifier.h>
#include <maya/MFileObject.h>
#include <maya/MFn.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include <string>

#include "host/Messages.h"
#include "import/ImportBuild.h"
#include "scene/Scene.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

// Placement values of one texture node, from its layer's head.
struct TexturePlacement {
    Vec3 offset;
    Vec3 repeat;
    Vec3 rotation;  // degrees, third component used
    int wrapU = 0;
    int wrapV = 0;
};

TexturePlacement placementOf(const MaterialLayer& layer) {
    TexturePlacement placement;
    placement.offset = layer.offset;
    placement.repeat = layer.repeat;
    placement.rotation = layer.rotation;
    placement.wrapU = (layer.flags & MaterialLayer::kFlagWrapU) ? 1 : 0;
    placement.wrapV = (layer.flags & MaterialLayer::kFlagWrapV) ? 1 : 0;
    return placement;
}

// The material node the matching function set is attached to.
MObject materialNodeOf(const BuildRequest& request, MFnPhongShader& phong, MFnLambertShader& lambert) {
    return request.phongMaterials ? phong.object() : lambert.object();
}

MPlug findNamedPlug(const MObject& node, const char* name, MStatus& status) {
    MFnDependencyNode nodeFn(node);
    MPlug plug = nodeFn.findPlug(MString(name), &status);
    if (status) return plug;
    MPlugArray connected;
    status = nodeFn.getConnections(connected);
    if (!status) return MPlug();
    for (unsigned int i = 0; i < connected.length(); ++i) {
        if (MFnAttribute(connected[i].attribute()).name() == name) {
            status = MStatus::kSuccess;
            return connected[i];
        }
    }
    status = MStatus::kNotFound;
    return MPlug();
}

MPlug findChildPlug(const MPlug& compound, const char* name, MStatus& status) {
    const unsigned int children = compound.numChildren();
    for (unsigned int i = 0; i < children; ++i) {
        const MPlug child = compound.child(i);
        if (MFnAttribute(child.attribute()).shortName() == name) {
            status = MStatus::kSuccess;
            return child;
        }
    }
    for (unsigned int i = 0; i < children; ++i) {
        const MPlug child = compound.child(i);
        if (MFnAttribute(child.attribute()).name() == name) {
            status = MStatus::kSuccess;
            return child;
        }
    }
    status = MStatus::kNotFound;
    return compound;
}

bool connectNamedPlugs(const MObject& source, const char* sourceAttribute, const MObject& destination,
                       const char* destinationAttribute) {
    MStatus sourceStatus, destinationStatus;
    const MPlug from = MFnDependencyNode(source).findPlug(MString(sourceAttribute), &sourceStatus);
    const MPlug to =
        MFnDependencyNode(destination).findPlug(MString(destinationAttribute), &destinationStatus);
    if (!sourceStatus || !destinationStatus) return false;
    MDGModifier modifier;
    modifier.connect(from, to);
    return static_cast<bool>(modifier.doIt());
}

// Connects the file node's message to the lowest free element of the texture list.
MStatus registerTexture(BuildRequest& request, const MObject& file) {
    MItDependencyNodes lists(MFn::kTextureList);
    if (lists.isDone()) return MStatus::kNotFound;
    const MObject list = lists.item();
    MStatus status;
    const MPlug textures = MFnDependencyNode(list).findPlug(MString("textures"), &status);
    if (!status) return status;
    unsigned int slot = request.nextTextureSlot;
    while (textures.elementByLogicalIndex(slot).isConnected()) ++slot;
    request.nextTextureSlot = slot + 1;
    MDGModifier modifier;
    modifier.connect(MFnDependencyNode(file).findPlug(MString("message")),
                     textures.elementByLogicalIndex(slot));
    return modifier.doIt();
}

// A file texture node for a stored path, looked for beside the imported file first.
MStatus createFileTexture(BuildRequest& request, const RecordName& path, MObject& file) {
    file = MObject::kNullObj;
    if (path.empty()) return MStatus::kSuccess;
    const std::string stored = path.c_str();
    const std::string name = textureFileName(stored);

    MFileObject beside;
    beside.setName(MString(name.c_str()));
    beside.setRawPath(request.sceneFile.rawPath());
    MString textureName;
    if (beside.exists()) {
        textureName = beside.expandedFullName();
    } else {
        textureName = MString(stored.c_str());
        logHost(MString("QVX: WARNING: Texture not found: \"") + stored.c_str() + "\"");
        logStderrFormat("QVX: WARNING: Texture not found: \"%s\"\n", stored.c_str());
    }

    MStatus status;
    MFnDependencyNode fileFn;
    file = fileFn.create(MString("file"), MString(name.c_str()), &status);
    if (!status) {
        file = MObject::kNullObj;
        return status;
    }
    fileFn.findPlug(MString("ftn")).setValue(textureName);
    return registerTexture(request, file);
}

constexpr const char* kPlacementToFile[][2] = {
    {"coverage", "coverage"},
    {"mirrorU", "mirrorU"},
    {"mirrorV", "mirrorV"},
    {"noiseUV", "noiseUV"},
    {"offset", "offset"},
    {"outUV", "uvCoord"},
    {"outUvFilterSize", "uvFilterSize"},
    {"repeatUV", "repeatUV"},
    {"rotateFrame", "rotateFrame"},
    {"rotateUV", "rotateUV"},
    {"stagger", "stagger"},
    {"translateFrame", "translateFrame"},
    {"vertexCameraOne", "vertexCameraOne"},
    {"vertexUvOne", "vertexUvOne"},
    {"vertexUvTwo", "vertexUvTwo"},
    {"vertexUvThree", "vertexUvThree"},
    {"wrapU", "wrapU"},
    {"wrapV", "wrapV"},
};

constexpr const char* kChooserToPlacement[][2] = {
    {"outUv", "uvCoord"},
    {"outVertexCameraOne", "vertexCameraOne"},
    {"outVertexUvOne", "vertexUvOne"},
    {"outVertexUvTwo", "vertexUvTwo"},
    {"outVertexUvThree", "vertexUvThree"},
};

// The element of the mesh's "uvSet" array holding a UV set slot of the file: the set the
// build made for it when there is one, else the element of that logical index.
MPlug uvSetElement(const BuildRequest& request, const MDagPath& mesh, unsigned int index) {
    MFnMesh meshFn(mesh);
    const MPlug sets = meshFn.findPlug(MString("uvSet"));
    if (index < 2 && request.uvSetNames[index].length() > 0) {
        for (unsigned int i = 0; i < sets.numElements(); ++i) {
            const MPlug element = sets.elementByPhysicalIndex(i);
            MString setName;
            if (element.child(0).getValue(setName) && setName == request.uvSetNames[index]) return element;
        }
    }
    return sets.elementByLogicalIndex(index);
}

MStatus createPlacement(BuildRequest& request, const MDagPath& mesh, const MObject& file,
                        const TexturePlacement& placement, int uvSetIndex) {
    if (file.isNull()) return MStatus::kSuccess;
    MFnDependencyNode placementFn;
    const MObject node = placementFn.create(MString("place2dTexture"), MString("place2dTexture"));
    placementFn.findPlug(MString("wrapU")).setValue(placement.wrapU);
    placementFn.findPlug(MString("wrapV")).setValue(placement.wrapV);
    placementFn.findPlug(MString("offsetU")).setValue(placement.offset.x);
    placementFn.findPlug(MString("offsetV")).setValue(placement.offset.y);
    placementFn.findPlug(MString("repeatU")).setValue(placement.repeat.x);
    placementFn.findPlug(MString("repeatV")).setValue(placement.repeat.y);
    const float rotate = placement.rotation.z * kDegreesToRadians;
    placementFn.findPlug(MString("rotateUV")).setValue(rotate);

    MFnDependencyNode fileFn(file);
    MDGModifier modifier;
    for (const auto& pair : kPlacementToFile) {
        modifier.connect(placementFn.findPlug(MString(pair[0])), fileFn.findPlug(MString(pair[1])));
    }
    if (uvSetIndex > 0) {
        MFnDependencyNode chooserFn;
        chooserFn.create(MString("uvChooser"), MString("uvChooser"));
        const MPlug setName = uvSetElement(request, mesh, static_cast<unsigned int>(uvSetIndex)).child(0);
        modifier.connect(setName, chooserFn.findPlug(MString("uvSets")).elementByLogicalIndex(0));
        for (const auto& pair : kChooserToPlacement) {
            modifier.connect(chooserFn.findPlug(MString(pair[0])), placementFn.findPlug(MString(pair[1])));
        }
    }
    (void)node;
    return modifier.doIt();
}

// A two-input layered texture of the channel-0 layer's first two inputs: the first
// multiplied over the second.
MStatus createLayeredTexture(BuildRequest& request, const MDagPath& mesh, const Material& material,
                             MObject& layered) {
    layered = MObject::kNullObj;
    const MaterialLayer* layer = material.findLayer(0);
    if (!layer || layer->kind != 4 || layer->subEntryCount() < 2 || layer->subEntries[0].path.empty() ||
        layer->subEntries[1].path.empty()) {
        return MStatus::kSuccess;
    }
    const TexturePlacement placement = placementOf(*layer);
    MObject files[2];
    MStatus status;
    for (int i = 0; i < 2; ++i) {
        status = createFileTexture(request, layer->subEntries[i].path, files[i]);
    }
    for (int i = 0; i < 2; ++i) {
        status = createPlacement(request, mesh, files[i], placement, layer->subEntries[i].value1);
    }
    MStatus found[2];
    MPlug outColors[2];
    for (int i = 0; i < 2; ++i) {
        if (!files[i].isNull()) outColors[i] = findNamedPlug(files[i], "outColor", found[i]);
    }

    MFnDependencyNode layeredFn;
    layered = layeredFn.create(MString("layeredTexture"), MString("layeredTexture"), &status);
    if (!status) {
        layered = MObject::kNullObj;
        return status;
    }
    const MPlug inputs = layeredFn.findPlug(MString("inputs"));
    const MPlug elements[2] = {inputs.elementByLogicalIndex(0), inputs.elementByLogicalIndex(1)};
    static constexpr int kBlendModes[2] = {6, 0};  // multiply, then none
    for (int i = 0; i < 2; ++i) {
        MStatus childStatus;
        MPlug blendMode = findChildPlug(elements[i], "bm", childStatus);
        if (childStatus) blendMode.setValue(kBlendModes[i]);
    }
    for (int i = 0; i < 2; ++i) {
        if (files[i].isNull() || !found[i]) continue;
        MStatus childStatus;
        const MPlug colour = findChildPlug(elements[i], "c", childStatus);
        MDGModifier modifier;
        modifier.connect(outColors[i], colour);
        status = modifier.doIt();
    }
    return status;
}

// The bump node fed by a file's alpha: the one it already feeds, or a new one.
MObject createBumpNode(const MObject& file) {
    MStatus status;
    const MPlug out = findNamedPlug(file, "outAlpha", status);
    if (!status) return MObject::kNullObj;
    if (out.isConnected()) {
        MPlugArray destinations;
        out.connectedTo(destinations, false, true);
        return destinations.length() > 0 ? destinations[0].node() : MObject::kNullObj;
    }
    MFnDependencyNode bumpFn;
    const MObject bump = bumpFn.create(MString(file.hasFn(MFn::kTexture3d) ? "bump3d" : "bump2d"), &status);
    if (!status) return MObject::kNullObj;
    const MPlug in = findNamedPlug(bump, "bumpValue", status);
    if (!status) return MObject::kNullObj;
    MDGModifier modifier;
    modifier.connect(out, in);
    modifier.doIt();
    return bump;
}

// What Lambert and Phong materials share: the name, ambient and diffuse colours, and the
// transparency that the record's opacity leaves.
void setLambertValues(MFnLambertShader& shaderFn, const Material& material) {
    shaderFn.setName(MString(material.name.c_str()));
    shaderFn.setAmbientColor(MColor(material.ambient.r, material.ambient.g, material.ambient.b, 1.0f));
    shaderFn.setColor(MColor(material.diffuse.r, material.diffuse.g, material.diffuse.b, 1.0f));
    const float t = 1.0f - material.opacity;
    shaderFn.setTransparency(MColor(t, t, t, t));
}

}  // namespace

std::string textureFileName(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.size() > kNameCapacity - 1) name.resize(kNameCapacity - 1);
    return name;
}

MStatus createLambertMaterial(BuildRequest& /*request*/, const Material* material, MObject& node) {
    MStatus status;
    MFnLambertShader shaderFn;
    node = shaderFn.create(true, &status);
    if (!status) return status;
    if (material) {
        setLambertValues(shaderFn, *material);
    } else {
        shaderFn.setName(MString("Unassigned"));
    }
    return status;
}

MStatus createPhongMaterial(BuildRequest& /*request*/, const Material* material, MObject& node) {
    MStatus status;
    MFnPhongShader shaderFn;
    node = shaderFn.create(true, &status);
    if (!status) return status;
    if (material) {
        setLambertValues(shaderFn, *material);
        shaderFn.setSpecularColor(MColor(material->specular.r * 0.25f, material->specular.g * 0.25f,
                                         material->specular.b * 0.25f, 1.0f));
        const float cosPower = (1.0f - material->shininess * 0.0078125f) * 100.0f;
        shaderFn.setCosPower(cosPower);
    } else {
        shaderFn.setName(MString("Unassigned"));
    }
    return status;
}

MStatus connectColorTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                            MFnLambertShader& lambert, const Material* material) {
    const MaterialLayer* layer = material ? material->findLayer(0) : nullptr;
    if (!layer || layer->kind != 1 || layer->path.empty()) return MStatus::kSuccess;
    MObject file;
    const MStatus status = createFileTexture(request, layer->path, file);
    if (file.isNull()) return status;
    const MObject materialNode = materialNodeOf(request, phong, lambert);
    MDGModifier modifier;
    modifier.connect(MFnDependencyNode(file).findPlug(MString("outColor")),
                     MFnDependencyNode(materialNode).findPlug(MString("color")));
    modifier.doIt();
    return createPlacement(request, mesh, file, placementOf(*layer), 0);
}

MStatus connectLayeredTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                              MFnLambertShader& lambert, const Material* material) {
    const MaterialLayer* layer = material ? material->findLayer(0) : nullptr;
    if (!layer || layer->kind != 4) return MStatus::kSuccess;
    MObject layered;
    const MStatus status = createLayeredTexture(request, mesh, *material, layered);
    if (layered.isNull()) return status;
    const MObject materialNode = materialNodeOf(request, phong, lambert);
    MDGModifier modifier;
    modifier.connect(MFnDependencyNode(layered).findPlug(MString("outColor")),
                     MFnDependencyNode(materialNode).findPlug(MString("color")));
    return modifier.doIt();
}

MStatus connectBumpTexture(BuildRequest& request, const MDagPath& mesh, MFnPhongShader& phong,
                           MFnLambertShader& lambert, const Material* material) {
    const MaterialLayer* layer = material ? material->findLayer(2) : nullptr;
    if (!layer || layer->kind != 1 || layer->path.empty()) return MStatus::kSuccess;
    MObject file;
    const MStatus status = createFileTexture(request, layer->path, file);
    if (file.isNull()) return status;
    const MObject bump = createBumpNode(file);
    if (bump.isNull()) return status;
    connectNamedPlugs(bump, "outNormal", materialNodeOf(request, phong, lambert), "normalCamera");
    MFnDependencyNode bumpFn(bump);
    bumpFn.findPlug(MString("bumpDepth")).setValue(1.0f);
    bumpFn.findPlug(MString("bumpInterp")).setValue((layer->flags & MaterialLayer::kFlagNormalMap) ? 1 : 0);
    return createPlacement(request, mesh, file, placementOf(*layer), 0);
}
