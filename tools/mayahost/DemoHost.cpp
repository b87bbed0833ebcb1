// A small stand-in host that does the product's job: it loads the plug-in module as Maya
// does, imports a ".qvx" character through MFileIO, shows the translator's log lines and
// the scene it built as a tree of nodes, then exports the scene back to a ".qvx" file.
//
// Usage: qvx_demo_host MODULE SAMPLE.qvx EXPORTED.qvx

#include <maya/MAnimControl.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFileIO.h>
#include <maya/MFn.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLight.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MFnSpotLight.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <mayasim/Host.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kTranslator = "Tavrin Pro";

void printMessages(const char* heading) {
    std::printf("%s\n", heading);
    if (mayasim::messages().empty()) std::printf("  (none)\n");
    for (const mayasim::LogLine& line : mayasim::messages()) {
        std::printf("  %s\n", mayasim::decorated(line).c_str());
    }
    mayasim::clearMessages();
}

std::string nameOf(const MObject& node) {
    return MFnDependencyNode(node).name().asChar();
}

std::string typeOf(const MObject& node) {
    return MFnDependencyNode(node).typeName().asChar();
}

// The node feeding `node.attribute`, or null.
MObject sourceOf(const MObject& node, const char* attribute) {
    MStatus status;
    const MPlug plug = MFnDependencyNode(node).findPlug(MString(attribute), &status);
    MPlugArray sources;
    if (!status || !plug.connectedTo(sources, true, false) || sources.length() == 0) return MObject();
    return sources[0].node();
}

std::string fileTextureText(const MObject& file) {
    MString path;
    MFnDependencyNode(file).findPlug(MString("ftn")).getValue(path);
    return nameOf(file) + " \"" + path.asChar() + "\"";
}

// "translateX 13, rotateZ 3, ..." for the animated channels of a joint.
std::string animationText(const MObject& node) {
    static const char* kChannels[] = {"translateX", "translateY", "translateZ", "rotateX", "rotateY",
                                      "rotateZ",    "scaleX",     "scaleY",     "scaleZ"};
    std::string text;
    for (const char* channel : kChannels) {
        const MObject curve = sourceOf(node, channel);
        if (curve.isNull() || !curve.hasFn(MFn::kAnimCurve)) continue;
        if (!text.empty()) text += ", ";
        text += std::string(channel) + " " + std::to_string(MFnAnimCurve(curve).numKeys());
    }
    return text.empty() ? "no keys" : "keys: " + text;
}

void printMaterial(const MObject& material, const std::string& indent) {
    std::printf("%s  material %s (%s)\n", indent.c_str(), nameOf(material).c_str(), typeOf(material).c_str());
    const MObject colour = sourceOf(material, "color");
    if (!colour.isNull()) {
        if (colour.hasFn(MFn::kFileTexture)) {
            std::printf("%s    colour texture %s\n", indent.c_str(), fileTextureText(colour).c_str());
        } else {
            std::printf("%s    colour from %s (%s)\n", indent.c_str(), nameOf(colour).c_str(),
                        typeOf(colour).c_str());
        }
    }
    const MObject bump = sourceOf(material, "normalCamera");
    if (!bump.isNull()) {
        const MObject file = sourceOf(bump, "bumpValue");
        int interp = 0;
        MFnDependencyNode(bump).findPlug(MString("bumpInterp")).getValue(interp);
        std::printf("%s    bump %s (%s, %s) from %s\n", indent.c_str(), nameOf(bump).c_str(),
                    typeOf(bump).c_str(), interp ? "tangent-space normals" : "height",
                    file.isNull() ? "nothing" : fileTextureText(file).c_str());
    }
}

void printMesh(const MDagPath& path, const std::string& indent) {
    MFnMesh meshFn(path);
    MStringArray uvSets, colourSets;
    meshFn.getUVSetNames(uvSets);
    meshFn.getColorSetNames(colourSets);
    std::string uvText, colourText;
    for (unsigned int i = 0; i < uvSets.length(); ++i) {
        uvText += std::string(i ? ", " : "") + uvSets[i].asChar() + " (" +
                  std::to_string(meshFn.numUVs(uvSets[i])) + " UVs)";
    }
    for (unsigned int i = 0; i < colourSets.length(); ++i)
        colourText += std::string(i ? ", " : "") + colourSets[i].asChar();
    std::printf("%s%s (mesh): %d vertices, %d polygons\n", indent.c_str(), meshFn.name().asChar(),
                meshFn.numVertices(), meshFn.numPolygons());
    std::printf("%s  UV sets: %s\n", indent.c_str(), uvText.c_str());
    std::printf("%s  colour sets: %s\n", indent.c_str(), colourText.c_str());

    for (MItDependencyNodes it(MFn::kSkinClusterFilter); !it.isDone(); it.next()) {
        MFnSkinCluster skinFn(it.item());
        MDagPathArray influences;
        skinFn.influenceObjects(influences);
        std::string names;
        for (unsigned int i = 0; i < influences.length(); ++i) {
            names += std::string(i ? ", " : "") + influences[i].partialPathName().asChar();
        }
        std::printf("%s  skin cluster %s: %s\n", indent.c_str(), skinFn.name().asChar(), names.c_str());
    }

    MObjectArray groups;
    MIntArray indices;
    meshFn.getConnectedShaders(0, groups, indices);
    for (unsigned int g = 0; g < groups.length(); ++g) {
        int faces = 0;
        for (unsigned int p = 0; p < indices.length(); ++p) faces += indices[p] == int(g) ? 1 : 0;
        std::printf("%s  shading group %s: %d faces\n", indent.c_str(), nameOf(groups[g]).c_str(), faces);
        const MObject material = sourceOf(groups[g], "surfaceShader");
        if (!material.isNull()) printMaterial(material, indent + "  ");
    }
}

void printNode(const MObject& node, const std::string& indent) {
    MFnDagNode dagFn(node);
    MDagPath path;
    dagFn.getPath(path);
    const std::string type = typeOf(node);
    if (node.hasFn(MFn::kMesh)) {
        // The skin keeps the undeformed shape as a hidden intermediate; only the visible
        // shape is shown.
        bool intermediate = false;
        MFnDependencyNode(node).findPlug(MString("intermediateObject")).getValue(intermediate);
        if (!intermediate) printMesh(path, indent);
        return;
    }
    if (node.hasFn(MFn::kLight)) {
        MFnLight lightFn(node);
        const MColor c = lightFn.color();
        std::printf("%s%s (%s): intensity %g, colour (%g, %g, %g)", indent.c_str(), nameOf(node).c_str(),
                    type.c_str(), lightFn.intensity(), c.r, c.g, c.b);
        if (node.hasFn(MFn::kSpotLight))
            std::printf(", cone %.1f degrees", MFnSpotLight(node).coneAngle() * 57.29578);
        std::printf("\n");
        return;
    }
    if (node.hasFn(MFn::kCamera)) {
        MFnCamera cameraFn(node);
        std::printf("%s%s (camera): horizontal field of view %.1f degrees, clipping %g to %g%s\n",
                    indent.c_str(), nameOf(node).c_str(), cameraFn.horizontalFieldOfView() * 57.29578,
                    cameraFn.nearClippingPlane(), cameraFn.farClippingPlane(),
                    cameraFn.isOrtho() ? ", orthographic" : "");
        return;
    }
    double t[3] = {0, 0, 0};
    MFnDependencyNode nodeFn(node);
    nodeFn.findPlug(MString("translateX")).getValue(t[0]);
    nodeFn.findPlug(MString("translateY")).getValue(t[1]);
    nodeFn.findPlug(MString("translateZ")).getValue(t[2]);
    std::printf("%s%s (%s) at (%.3g, %.3g, %.3g)", indent.c_str(), nameOf(node).c_str(), type.c_str(), t[0],
                t[1], t[2]);
    if (node.hasFn(MFn::kJoint)) std::printf(", %s", animationText(node).c_str());
    std::printf("\n");
    for (unsigned int i = 0; i < dagFn.childCount(); ++i) printNode(dagFn.child(i), indent + "  ");
}

void printTimeSettings() {
    static const char* kUnits[] = {"invalid", "hours",  "minutes", "seconds", "milliseconds", "15 fps",
                                   "24 fps",  "25 fps", "30 fps",  "48 fps",  "50 fps",       "60 fps"};
    const MTime::Unit unit = MTime::uiUnit();
    const std::string unitText = unit < 12 ? kUnits[unit] : "unit " + std::to_string(int(unit));
    std::printf("Time: unit %s, playback %g to %g, current %g\n", unitText.c_str(),
                MAnimControl::minTime().as(unit), MAnimControl::maxTime().as(unit),
                MAnimControl::currentTime().as(unit));
}

bool printImportedTree() {
    MSelectionList list;
    MObject root;
    if (!list.add(MString("|qvxTransform")) || !list.getDependNode(0, root)) {
        std::printf("The import made no root node.\n");
        return false;
    }
    std::printf("Scene built by the import:\n");
    printNode(root, "  ");
    printTimeSettings();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qvx_demo_host MODULE SAMPLE.qvx EXPORTED.qvx\n");
        return 2;
    }
    const std::string module = argv[1];
    const std::string sample = argv[2];
    const std::string exported = argv[3];
    // The messages are shown below as lists rather than echoed as they arrive.
    mayasim::setEchoMessages(false);

    std::printf("Loading plug-in %s\n", module.c_str());
    std::string error;
    if (!mayasim::loadPlugin(module, &error)) {
        std::fprintf(stderr, "qvx_demo_host: could not load %s: %s\n", module.c_str(), error.c_str());
        return 1;
    }
    printMessages("Messages logged while loading:");
    mayasim::TranslatorInfo info;
    if (!mayasim::findTranslator(kTranslator, info)) {
        std::fprintf(stderr, "qvx_demo_host: the plug-in registered no translator \"%s\"\n", kTranslator);
        return 1;
    }
    std::printf("Registered file translator \"%s\" (*.%s), default options:\n  %s\n\n", info.name.c_str(),
                info.extension.c_str(), info.defaultOptions.c_str());

    std::printf("Importing %s\n", sample.c_str());
    const MStatus imported = MFileIO::importFile(MString(sample.c_str()), kTranslator);
    printMessages("Messages logged by the import:");
    if (!imported || !printImportedTree()) {
        std::fprintf(stderr, "qvx_demo_host: the import failed\n");
        return 1;
    }

    std::printf("\nExporting the scene to %s\n", exported.c_str());
    const MStatus written = MFileIO::exportAll(MString(exported.c_str()), kTranslator);
    printMessages("Messages logged by the export:");
    if (!written) {
        std::fprintf(stderr, "qvx_demo_host: the export failed\n");
        return 1;
    }

    if (!mayasim::unloadPlugin(module, &error)) {
        std::fprintf(stderr, "qvx_demo_host: could not unload %s: %s\n", module.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
