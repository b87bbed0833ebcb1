// Texture nodes: file textures and their placement, UV choosers, layered textures, bump nodes and a
// 3D texture. Only attributes are modelled; nothing is sampled.
#include "Graph.h"

namespace mayasim {

namespace {

AttrPtr pair2(const std::string& longName, const std::string& shortName, const char* l0, const char* s0,
              const char* l1, const char* s1, double d0 = 0, double d1 = 0) {
    return compoundAttr(longName, shortName,
                        {attr(l0, s0, AttrType::kFloat, d0), attr(l1, s1, AttrType::kFloat, d1)});
}

// The placement values a 2D texture takes from a place2dTexture node, with the same names on both.
// The place2dTexture node calls its rotateUV "r", a texture "ro".
void addPlacementInputs(TypeRegistry& t, const char* type, const char* rotateUVShort) {
    t.addAttribute(type, pair2("coverage", "c", "coverageU", "cu", "coverageV", "cv", 1, 1));
    t.addAttribute(type, pair2("translateFrame", "tf", "translateFrameU", "tfu", "translateFrameV", "tfv"));
    t.addAttribute(type, attr("rotateFrame", "rf", AttrType::kAngle, 0));
    t.addAttribute(type, attr("mirrorU", "mu", AttrType::kBool, 0));
    t.addAttribute(type, attr("mirrorV", "mv", AttrType::kBool, 0));
    t.addAttribute(type, attr("stagger", "s", AttrType::kBool, 0));
    t.addAttribute(type, attr("wrapU", "wu", AttrType::kBool, 1));
    t.addAttribute(type, attr("wrapV", "wv", AttrType::kBool, 1));
    t.addAttribute(type, pair2("repeatUV", "re", "repeatU", "reu", "repeatV", "rev", 1, 1));
    t.addAttribute(type, pair2("offset", "of", "offsetU", "ofu", "offsetV", "ofv"));
    t.addAttribute(type, attr("rotateUV", rotateUVShort, AttrType::kAngle, 0));
    t.addAttribute(type, pair2("noiseUV", "n", "noiseU", "nu", "noiseV", "nv"));
    t.addAttribute(
        type,
        childNames(triple("vertexCameraOne", "vc1", AttrType::kFloat, 0, 0, 0),
                   {{"vertexCameraOneX", "c1x"}, {"vertexCameraOneY", "c1y"}, {"vertexCameraOneZ", "c1z"}}));
    t.addAttribute(type, pair2("vertexUvOne", "vt1", "vertexUvOneU", "t1u", "vertexUvOneV", "t1v"));
    t.addAttribute(type, pair2("vertexUvTwo", "vt2", "vertexUvTwoU", "t2u", "vertexUvTwoV", "t2v"));
    t.addAttribute(type, pair2("vertexUvThree", "vt3", "vertexUvThreeU", "t3u", "vertexUvThreeV", "t3v"));
}

}  // namespace

MAYASIM_REGISTER_TYPES(registerTextureAttributes) {
    TypeRegistry& t = types();
    // Every 2D texture reads UVs and their filter size, and gives a colour and an alpha.
    t.addAttribute("texture2d", pair2("uvCoord", "uv", "uCoord", "u", "vCoord", "v"));
    t.addAttribute("texture2d", pair2("uvFilterSize", "fs", "uvFilterSizeX", "fsx", "uvFilterSizeY", "fsy"));
    addPlacementInputs(t, "texture2d", "ro");
    t.addAttribute("texture2d", colorAttr("defaultColor", "dc", 0.5, 0.5, 0.5));
    t.addAttribute("texture2d", colorAttr("colorGain", "cg", 1, 1, 1));
    t.addAttribute("texture2d", attr("alphaGain", "ag", AttrType::kFloat, 1));
    t.addAttribute("texture2d", attr("alphaIsLuminance", "ail", AttrType::kBool, 0));
    t.addAttribute("texture2d", output(colorAttr("outColor", "oc", 0, 0, 0)));
    t.addAttribute("texture2d", output(attr("outAlpha", "oa", AttrType::kFloat, 0)));
    t.addAttribute("texture2d", output(colorAttr("outTransparency", "ot", 0, 0, 0)));
    t.addAttribute("file", stringAttr("fileTextureName", "ftn"));
    t.addAttribute("file", attr("filterType", "ft", AttrType::kShort, 3));
    t.addAttribute("file", attr("useFrameExtension", "ufe", AttrType::kBool, 0));

    // A 3D texture, placed by a matrix instead of UVs.
    t.define("solidFractal", MFn::kTexture3d, "texture3d");
    t.addAttribute("texture3d", matrixAttr("placementMatrix", "pm"));
    t.addAttribute("texture3d", output(colorAttr("outColor", "oc", 0, 0, 0)));
    t.addAttribute("texture3d", output(attr("outAlpha", "oa", AttrType::kFloat, 0)));
    t.addAttribute("solidFractal", attr("amplitude", "a", AttrType::kFloat, 1));

    addPlacementInputs(t, "place2dTexture", "r");
    t.addAttribute("place2dTexture", pair2("uvCoord", "uv", "uCoord", "u", "vCoord", "v"));
    t.addAttribute("place2dTexture",
                   pair2("uvFilterSize", "fs", "uvFilterSizeX", "fsx", "uvFilterSizeY", "fsy"));
    t.addAttribute("place2dTexture", output(pair2("outUV", "o", "outU", "ou", "outV", "ov")));
    t.addAttribute("place2dTexture", output(pair2("outUvFilterSize", "ofs", "outUvFilterSizeX", "ofsx",
                                                  "outUvFilterSizeY", "ofsy")));

    t.addAttribute("uvChooser", arrayOf(stringAttr("uvSets", "uvs")));
    t.addAttribute("uvChooser", output(pair2("outUv", "ouv", "outU", "ou", "outV", "ov")));
    t.addAttribute("uvChooser", output(triple("outVertexCameraOne", "ocv", AttrType::kFloat, 0, 0, 0)));
    t.addAttribute("uvChooser", output(pair2("outVertexUvOne", "ov1", "outVertexUvOneU", "o1u",
                                             "outVertexUvOneV", "o1v")));
    t.addAttribute("uvChooser", output(pair2("outVertexUvTwo", "ov2", "outVertexUvTwoU", "o2u",
                                             "outVertexUvTwoV", "o2v")));
    t.addAttribute("uvChooser", output(pair2("outVertexUvThree", "ov3", "outVertexUvThreeU", "o3u",
                                             "outVertexUvThreeV", "o3v")));

    t.addAttribute("layeredTexture", arrayOf(compoundAttr("inputs", "cs",
                                                          {colorAttr("color", "c", 0, 0, 0),
                                                           attr("alpha", "a", AttrType::kFloat, 1),
                                                           attr("blendMode", "bm", AttrType::kShort, 1),
                                                           attr("isVisible", "iv", AttrType::kBool, 1)})));
    t.addAttribute("layeredTexture", attr("alphaIsLuminance", "ail", AttrType::kBool, 0));
    t.addAttribute("layeredTexture", output(colorAttr("outColor", "oc", 0, 0, 0)));
    t.addAttribute("layeredTexture", output(attr("outAlpha", "oa", AttrType::kFloat, 0)));

    for (const char* bump : {"bump2d", "bump3d"}) {
        t.addAttribute(bump, attr("bumpValue", "bv", AttrType::kFloat, 0));
        t.addAttribute(bump, attr("bumpDepth", "bd", AttrType::kFloat, 1));
        t.addAttribute(bump, attr("bumpFilter", "bf", AttrType::kFloat, 1));
        t.addAttribute(bump, triple("normalCamera", "n", AttrType::kFloat, 0, 0, 0));
        t.addAttribute(bump, output(triple("outNormal", "o", AttrType::kFloat, 0, 0, 0)));
    }
    // 0 bump, 1 tangent-space normals, 2 object-space normals.
    t.addAttribute("bump2d", attr("bumpInterp", "bi", AttrType::kShort, 0));
}

}  // namespace mayasim
