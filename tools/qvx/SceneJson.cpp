#include "SceneJson.h"

#include <string>

#include "scene/Scene.h"

namespace {

using Json = nlohmann::ordered_json;

std::string text(const RecordName& name) {
    return std::string(name.narrowView());
}

Json vec3(const Vec3& v) {
    return Json::array({v.x, v.y, v.z});
}
Json quat(const Quat& q) {
    return Json::array({q.x, q.y, q.z, q.w});
}
Json color(const Color& c) {
    return Json::array({c.r, c.g, c.b, c.a});
}
template <std::size_t N>
Json floats(const std::array<float, N>& values) {
    Json out = Json::array();
    for (float v : values) out.push_back(v);
    return out;
}
Json ints(const int32_t* values, int32_t count) {
    Json out = Json::array();
    for (int32_t i = 0; values && i < count; ++i) out.push_back(values[i]);
    return out;
}

Json transform(const Transform& t) {
    Json j;
    j["rotationMatrix"] = floats(t.rotationMatrix);
    j["translation"] = vec3(t.translation);
    j["scale"] = vec3(t.scale);
    j["matrix"] = floats(t.matrix);
    j["quaternion"] = quat(t.quaternion);
    j["euler"] = vec3(t.euler);
    return j;
}

Json triangle(const Triangle& t) {
    Json j;
    j["firstWord"] = t.firstWord;
    j["secondWord"] = t.secondWord;
    j["groupIndex"] = t.groupIndex;
    j["materialIndex"] = t.materialIndex;
    j["vertexIndices"] = ints(t.vertexIndices, 3);
    j["secondIndices"] = ints(t.secondIndices, 3);
    j["finalWord"] = t.finalWord;
    return j;
}

Json layer(const MaterialLayer& l) {
    Json j;
    j["channel"] = l.channel;
    j["kind"] = l.kind;
    j["flags"] = l.flags;
    j["offset"] = vec3(l.offset);
    j["repeat"] = vec3(l.repeat);
    j["rotation"] = vec3(l.rotation);
    j["path"] = text(l.path);
    j["value1"] = l.value1;
    j["value2"] = l.value2;
    j["value3"] = l.value3;
    j["value4"] = l.value4;
    j["value5"] = l.value5;
    j["packedColor"] = l.packedColor;
    j["extraWord"] = l.extraWord;
    Json subs = Json::array();
    for (const LayerSubEntry& e : l.subEntries) {
        subs.push_back(
            Json{{"path", text(e.path)}, {"value1", e.value1}, {"value2", e.value2}, {"value3", e.value3}});
    }
    j["subEntries"] = subs;
    Json paths = Json::array();
    for (const RecordName& p : l.paths) paths.push_back(text(p));
    j["paths"] = paths;
    return j;
}

Json material(const Material& m) {
    Json j;
    j["name"] = text(m.name);
    j["flags"] = m.flags;
    j["diffuse"] = color(m.diffuse);
    j["ambient"] = color(m.ambient);
    j["color3"] = color(m.color3);
    j["specular"] = color(m.specular);
    j["color5"] = color(m.color5);
    j["shininess"] = m.shininess;
    j["opacity"] = m.opacity;
    j["useCount"] = m.useCount;
    Json layers = Json::array();
    for (const auto& slot : m.layers) layers.push_back(slot ? layer(*slot) : Json());
    j["layers"] = layers;
    return j;
}

Json vertex(const Vertex& v) {
    Json j;
    j["flags"] = v.flags;
    j["position"] = vec3(v.position);
    j["normal"] = vec3(v.normal);
    j["color"] = color(v.color);
    Json weights = Json::array();
    for (const VertexWeight& w : v.weights)
        weights.push_back(Json::array({w.influenceIndex, w.boneIndex, w.weight}));
    j["weights"] = weights;
    return j;
}

Json uvSet(const UVSet& s) {
    Json j;
    j["name"] = text(s.name);
    Json coords = Json::array();
    for (const UVCoord& c : s.coords) coords.push_back(Json::array({c.word, c.u, c.v}));
    j["coords"] = coords;
    Json triangles = Json::array();
    for (const Triangle& t : s.triangles) triangles.push_back(triangle(t));
    j["triangles"] = triangles;
    return j;
}

Json polygon(const Polygon& p) {
    Json j;
    j["flags"] = p.flags;
    j["groupIndex"] = p.groupIndex;
    j["materialIndex"] = p.materialIndex;
    j["fourthField"] = p.fourthField;
    const int32_t n = p.cornerCount();
    j["vertexIndices"] = ints(p.vertexIndices(), n);
    j["normalIndices"] = ints(p.normalIndices(), n);
    j["colorIndices"] = ints(p.colorIndices(), n);
    j["edgeFlags"] = ints(reinterpret_cast<const int32_t*>(p.edgeFlags()), n);
    Json uvs = Json::array();
    for (int32_t s = 0; s < p.uvChannelCount(); ++s) {
        const ConstPolygonUVs u = p.uvs(s);
        uvs.push_back(Json{{"uvIndices", ints(u.uvIndices, n)}, {"secondIndices", ints(u.secondIndices, n)}});
    }
    j["uvs"] = uvs;
    return j;
}

Json mesh(const Mesh& m) {
    Json j;
    j["name"] = std::string(m.name);
    j["path"] = m.path.isNull() ? Json() : Json(std::string(m.path.view()));
    j["skinned"] = m.skinned;
    Json polygons = Json::array();
    for (const Polygon& p : m.polygons) polygons.push_back(polygon(p));
    j["polygons"] = polygons;
    Json materials = Json::array();
    for (const Material& mat : m.materials) materials.push_back(material(mat));
    j["materials"] = materials;
    Json colors = Json::array();
    for (const Color& c : m.colors) colors.push_back(color(c));
    j["colors"] = colors;
    Json uvSets = Json::array();
    for (const UVSet& s : m.uvSets) uvSets.push_back(uvSet(s));
    j["uvSets"] = uvSets;
    Json vertices = Json::array();
    for (const Vertex& v : m.vertices) vertices.push_back(vertex(v));
    j["vertices"] = vertices;
    Json influences = Json::array();
    for (const OwnedString& s : m.influenceNames)
        influences.push_back(s.isNull() ? Json() : Json(std::string(s.view())));
    j["influenceNames"] = influences;
    return j;
}

Json bone(const Bone& b) {
    Json j;
    j["name"] = text(b.name);
    j["fullPath"] = b.fullPath.isNull() ? Json() : Json(std::string(b.fullPath.view()));
    j["parentPath"] = b.parentPath.isNull() ? Json() : Json(std::string(b.parentPath.view()));
    j["parentIndex"] = b.parentIndex;
    j["restRotationMatrix"] = floats(b.restRotationMatrix);
    j["position"] = vec3(b.position);
    j["scale"] = vec3(b.scale);
    j["restMatrix"] = floats(b.restMatrix);
    j["rotation"] = quat(b.rotation);
    j["restEuler"] = vec3(b.restEuler);
    j["color"] = color(b.color);
    j["localMatrix"] = floats(b.localMatrix);
    j["worldMatrix"] = floats(b.worldMatrix);
    j["weightedVertexCount"] = b.weightedVertexCount;
    j["eulerFlipFlag"] = b.eulerFlipFlag;
    return j;
}

Json animation(const Animation& a) {
    Json j;
    j["name"] = text(a.name);
    j["flags"] = a.flags;
    j["startTick"] = a.startTick;
    j["tickCount"] = a.tickCount;
    j["fps"] = a.fps;
    Json tracks = Json::array();
    for (const BoneTrack& t : a.tracks) {
        Json track;
        Json positions = Json::array();
        for (const PositionKey& k : t.positionKeys)
            positions.push_back(Json::array({k.time, k.value.x, k.value.y, k.value.z}));
        track["positionKeys"] = positions;
        Json rotations = Json::array();
        for (const RotationKey& k : t.rotationKeys) {
            rotations.push_back(Json::array({k.time, k.value.x, k.value.y, k.value.z, k.value.w}));
        }
        track["rotationKeys"] = rotations;
        Json scales = Json::array();
        for (const ScaleKey& k : t.scaleKeys)
            scales.push_back(Json::array({k.time, k.value.x, k.value.y, k.value.z}));
        track["scaleKeys"] = scales;
        tracks.push_back(track);
    }
    j["tracks"] = tracks;
    return j;
}

template <class Array, class F>
Json list(const Array& array, F&& each) {
    Json out = Json::array();
    for (const auto& item : array) out.push_back(each(item));
    return out;
}

}  // namespace

nlohmann::ordered_json sceneToJson(const Scene& scene) {
    Json j;
    j["fileVersion"] = scene.fileVersion;
    const SceneCounts& c = scene.counts;
    j["counts"] =
        Json{{"lights", c.lights},         {"cameras", c.cameras},        {"materials", c.materials},
             {"groups", c.groups},         {"vertices", c.vertices},      {"triangles", c.triangles},
             {"uvSets", c.uvSets},         {"meshes", c.meshes},          {"bones", c.bones},
             {"animations", c.animations}, {"infoStrings", c.infoStrings}};
    j["legacyUVCount"] = scene.legacyUVCount;
    j["lights"] = list(scene.lights, [](const Light& l) {
        return Json{{"name", text(l.name)},     {"tag", l.tag},
                    {"kind", l.kind},           {"transform", transform(l.transform)},
                    {"param0", l.param0},       {"coneAngle", l.coneAngle},
                    {"param2", l.param2},       {"param3", l.param3},
                    {"intensity", l.intensity}, {"color", color(l.color)},
                    {"param4", l.param4},       {"param5", l.param5}};
    });
    j["cameras"] = list(scene.cameras, [](const Camera& c) {
        return Json{{"name", text(c.name)},
                    {"tag", c.tag},
                    {"kind", c.kind},
                    {"transform", transform(c.transform)},
                    {"fieldOfView", c.fieldOfView},
                    {"nearClip", c.nearClip},
                    {"farClip", c.farClip}};
    });
    j["materials"] = list(scene.materials, material);
    j["groups"] = list(scene.groups, [](const Group& g) {
        Json usages = Json::array();
        for (const MaterialUsage& u : g.materialUsages)
            usages.push_back(Json::array({u.materialIndex, u.polygonCount}));
        return Json{{"name", text(g.name)},         {"flags", g.flags},
                    {"parentIndex", g.parentIndex}, {"transform", transform(g.transform)},
                    {"extraWord", g.extraWord},     {"materialUsages", usages}};
    });
    j["vertices"] = list(scene.vertices, vertex);
    j["triangles"] = list(scene.triangles, triangle);
    j["uvSets"] = list(scene.uvSets, uvSet);
    j["meshes"] = list(scene.meshes, mesh);
    j["bones"] = list(scene.bones, bone);
    j["animations"] = list(scene.animations, animation);
    return j;
}
