// The node-type table: every node type the stand-in knows, with its MFn::Type number (API 201500) and
// the type it derives from. Families add attributes and behaviour to these rows from their own files.
#include "Graph.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerNodeTypeTable) {
    TypeRegistry& t = types();
    struct Row {
        const char* name;
        MFn::Type api;
        const char* parent;
        bool abstract;
    };
    static const Row rows[] = {
        {"dependNode", MFn::kDependencyNode, "", true},
        {"dagNode", MFn::kDagNode, "dependNode", true},
        {"world", MFn::kWorld, "dagNode", true},
        {"transform", MFn::kTransform, "dagNode", false},
        {"joint", MFn::kJoint, "transform", false},
        {"ikEffector", MFn::kIkEffector, "transform", false},
        {"ikHandle", MFn::kIkHandle, "transform", false},
        {"pointConstraint", MFn::kPointConstraint, "transform", false},
        {"orientConstraint", MFn::kOrientConstraint, "transform", false},
        {"parentConstraint", MFn::kParentConstraint, "transform", false},
        {"scaleConstraint", MFn::kScaleConstraint, "transform", false},
        {"normalConstraint", MFn::kNormalConstraint, "transform", false},
        {"tangentConstraint", MFn::kTangentConstraint, "transform", false},
        {"poleVectorConstraint", MFn::kPoleVectorConstraint, "transform", false},
        {"rigidConstraint", MFn::kRigidConstraint, "transform", false},
        {"shape", MFn::kShape, "dagNode", true},
        {"mesh", MFn::kMesh, "shape", false},
        {"nurbsSurface", MFn::kNurbsSurface, "shape", false},
        {"locator", MFn::kLocator, "shape", false},
        {"camera", MFn::kCamera, "shape", false},
        {"light", MFn::kLight, "shape", true},
        {"ambientLight", MFn::kAmbientLight, "light", false},
        {"nonAmbientLightShapeNode", MFn::kNonAmbientLight, "light", true},
        {"nonExtendedLightShapeNode", MFn::kNonExtendedLight, "nonAmbientLightShapeNode", true},
        {"directionalLight", MFn::kDirectionalLight, "nonExtendedLightShapeNode", false},
        {"pointLight", MFn::kPointLight, "nonExtendedLightShapeNode", false},
        {"spotLight", MFn::kSpotLight, "nonExtendedLightShapeNode", false},
        {"areaLight", MFn::kAreaLight, "nonExtendedLightShapeNode", false},
        {"volumeLight", MFn::kVolumeLight, "pointLight", false},
        {"time", MFn::kTime, "dependNode", false},
        {"animCurve", MFn::kAnimCurve, "dependNode", true},
        {"animCurveTA", MFn::kAnimCurveTimeToAngular, "animCurve", false},
        {"animCurveTL", MFn::kAnimCurveTimeToDistance, "animCurve", false},
        {"animCurveTT", MFn::kAnimCurveTimeToTime, "animCurve", false},
        {"animCurveTU", MFn::kAnimCurveTimeToUnitless, "animCurve", false},
        {"animCurveUA", MFn::kAnimCurveUnitlessToAngular, "animCurve", false},
        {"animCurveUL", MFn::kAnimCurveUnitlessToDistance, "animCurve", false},
        {"animCurveUT", MFn::kAnimCurveUnitlessToTime, "animCurve", false},
        {"animCurveUU", MFn::kAnimCurveUnitlessToUnitless, "animCurve", false},
        {"objectSet", MFn::kSet, "dependNode", false},
        {"shadingEngine", MFn::kShadingEngine, "objectSet", false},
        {"partition", MFn::kPartition, "dependNode", false},
        {"shaderList", MFn::kInvalid, "dependNode", false},
        {"textureList", MFn::kTextureList, "dependNode", false},
        {"lambert", MFn::kLambert, "dependNode", false},
        {"reflect", MFn::kReflect, "lambert", true},
        {"phong", MFn::kPhong, "reflect", false},
        {"blinn", MFn::kBlinn, "reflect", false},
        {"place2dTexture", MFn::kPlace2dTexture, "dependNode", false},
        {"texture2d", MFn::kTexture2d, "dependNode", true},
        {"file", MFn::kFileTexture, "texture2d", false},
        {"texture3d", MFn::kTexture3d, "dependNode", true},
        {"layeredTexture", MFn::kLayeredTexture, "dependNode", false},
        {"bump2d", MFn::kBump, "dependNode", false},
        {"bump3d", MFn::kBump3d, "dependNode", false},
        {"uvChooser", MFn::kUvChooser, "dependNode", false},
        {"geometryFilter", MFn::kGeometryFilt, "dependNode", true},
        {"skinCluster", MFn::kSkinClusterFilter, "geometryFilter", false},
    };
    for (const Row& r : rows) t.define(r.name, r.api, r.parent).abstract = r.abstract;
    // Generated names as Maya gives them.
    t.define("mesh", MFn::kInvalid, "").defaultName = "polySurface";
    t.define("animCurveTA", MFn::kInvalid, "").defaultName = "animCurveTA";
}

// Attributes every node, every DAG node, transforms and joints have.
MAYASIM_REGISTER_TYPES(registerCoreAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("dependNode", messageAttr("message", "msg"));
    t.addAttribute("dependNode", attr("caching", "cch", AttrType::kBool, 0));
    t.addAttribute("dependNode", attr("isHistoricallyInteresting", "ihi", AttrType::kShort, 2));
    t.addAttribute("dependNode", attr("nodeState", "nds", AttrType::kShort, 0));
    t.addAttribute("dependNode", stringAttr("binMembership", "bnm"));

    t.addAttribute("dagNode", keyable(attr("visibility", "v", AttrType::kBool, 1)));
    t.addAttribute("dagNode", attr("intermediateObject", "io", AttrType::kBool, 0));
    t.addAttribute("dagNode", attr("template", "tmp", AttrType::kBool, 0));
    t.addAttribute("dagNode", output(matrixAttr("matrix", "m")));
    t.addAttribute("dagNode", output(matrixAttr("inverseMatrix", "im")));
    t.addAttribute("dagNode", output(arrayOf(matrixAttr("worldMatrix", "wm"))));
    t.addAttribute("dagNode", output(arrayOf(matrixAttr("worldInverseMatrix", "wim"))));
    t.addAttribute("dagNode", output(arrayOf(matrixAttr("parentMatrix", "pm"))));
    t.addAttribute("dagNode", output(arrayOf(matrixAttr("parentInverseMatrix", "pim"))));
    {
        auto ogc = attr("objectGrpCompList", "gcl", AttrType::kData);
        auto groups = arrayOf(compoundAttr("objectGroups", "og",
                                           {ogc, attr("objectGroupId", "gid", AttrType::kInt, 0),
                                            attr("objectGrpColor", "gco", AttrType::kShort, 0)}));
        t.addAttribute("dagNode", arrayOf(compoundAttr("instObjGroups", "iog", {groups})));
    }

    t.addAttribute("transform", keyable(triple("translate", "t", AttrType::kDistance, 0, 0, 0)));
    t.addAttribute("transform", keyable(triple("rotate", "r", AttrType::kAngle, 0, 0, 0)));
    t.addAttribute("transform", keyable(triple("scale", "s", AttrType::kDouble, 1, 1, 1)));
    t.addAttribute("transform", childNames(triple("shear", "sh", AttrType::kDouble, 0, 0, 0),
                                           {{"shearXY", "shxy"}, {"shearXZ", "shxz"}, {"shearYZ", "shyz"}}));
    t.addAttribute("transform", attr("rotateOrder", "ro", AttrType::kShort, 0));
    t.addAttribute("transform", triple("rotateAxis", "ra", AttrType::kAngle, 0, 0, 0));
    t.addAttribute("transform", triple("rotatePivot", "rp", AttrType::kDistance, 0, 0, 0));
    t.addAttribute("transform", triple("scalePivot", "sp", AttrType::kDistance, 0, 0, 0));
    t.addAttribute("transform", attr("inheritsTransform", "it", AttrType::kBool, 1));
    t.addAttribute("transform", attr("displayHandle", "dh", AttrType::kBool, 0));

    t.addAttribute("joint", triple("jointOrient", "jo", AttrType::kAngle, 0, 0, 0));
    t.addAttribute("joint", attr("segmentScaleCompensate", "ssc", AttrType::kBool, 1));
    t.addAttribute("joint", triple("inverseScale", "is", AttrType::kDouble, 1, 1, 1));
    t.addAttribute("joint", triple("preferredAngle", "pa", AttrType::kAngle, 0, 0, 0));
    t.addAttribute("joint", attr("radius", "radi", AttrType::kDouble, 1));
    t.addAttribute("joint", attr("drawStyle", "ds", AttrType::kShort, 0));
    t.addAttribute("joint", matrixAttr("bindPose", "bps"));

    t.addAttribute("time", output(attr("outTime", "o", AttrType::kTime)));

    t.addAttribute("objectSet", arrayOf(messageAttr("dagSetMembers", "dsm")));
    t.addAttribute("objectSet", arrayOf(messageAttr("dnSetMembers", "dnsm")));
    t.addAttribute("objectSet", arrayOf(messageAttr("partition", "pa")));
    t.addAttribute("objectSet", stringAttr("annotation", "an"));
    t.addAttribute("objectSet", attr("isLayer", "il", AttrType::kBool, 0));
    t.addAttribute("objectSet", attr("verticesOnlySet", "vo", AttrType::kBool, 0));
    t.addAttribute("objectSet", attr("edgesOnlySet", "eo", AttrType::kBool, 0));
    t.addAttribute("objectSet", attr("facetsOnlySet", "fo", AttrType::kBool, 0));
    t.addAttribute("objectSet", attr("renderableOnlySet", "ro", AttrType::kBool, 0));
    t.addAttribute("shadingEngine", colorAttr("surfaceShader", "ss", 0, 0, 0));
    t.addAttribute("shadingEngine", colorAttr("volumeShader", "vs", 0, 0, 0));
    t.addAttribute("shadingEngine", attr("displacementShader", "ds", AttrType::kFloat, 0));

    t.addAttribute("partition", arrayOf(messageAttr("sets", "st")));
    t.addAttribute("shaderList", arrayOf(messageAttr("shaders", "s")));
    t.addAttribute("textureList", arrayOf(messageAttr("textures", "tx")));
}

}  // namespace mayasim
