#include "ReportJson.h"

#include <iostream>

#include "format/Loader.h"
#include "format/QvxHeader.h"
#include "scene/Scene.h"

namespace {

using Json = nlohmann::ordered_json;

std::string text(const RecordName& name) {
    return std::string(name.narrowView());
}

std::string magicText(uint32_t magic) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((magic >> (8 * i)) & 0xFF);
        out += (c >= 32 && c < 127) ? c : '?';
    }
    return out;
}

Json header(const QvxHeader& h) {
    return Json{{"magic", magicText(h.magic())},
                {"version", h.version()},
                {"flags", h.flags()},
                {"sizeSlot", h.fileSize()}};
}

// The texture paths a material's layers name, as `qvx info` lists them.
Json texturePaths(const Material& m) {
    Json paths = Json::array();
    for (const auto& slot : m.layers) {
        if (!slot) {
            continue;
        }
        const MaterialLayer& l = *slot;
        if (l.kind == 4) {
            for (const LayerSubEntry& e : l.subEntries) {
                if (!e.path.empty()) paths.push_back(Json{{"channel", l.channel}, {"path", text(e.path)}});
            }
        } else if (l.kind == 5) {
            for (const RecordName& p : l.paths) {
                if (!p.empty()) paths.push_back(Json{{"channel", l.channel}, {"path", text(p)}});
            }
        } else if (!l.path.empty()) {
            paths.push_back(Json{{"channel", l.channel}, {"path", text(l.path)}});
        }
    }
    return paths;
}

}  // namespace

Json checkEntryJson(const LoadReport& report) {
    Json j;
    j["path"] = report.path;
    j["ok"] = report.result == QVX_RESULT_OK;
    if (report.result != QVX_RESULT_OK) {
        j["result"] = qvxResultName(report.result);
        j["code"] = report.result;
        j["reason"] = report.reason;
    }
    return j;
}

Json infoEntryJson(const LoadReport& report, const Scene& scene) {
    Json j = checkEntryJson(report);
    const ParseReport& p = report.parse;
    if (p.fileBytes > 0 || report.result != QVX_RESULT_CANNOT_OPEN) {
        Json file{{"bytes", p.fileBytes}, {"chunked", p.chunked}, {"compressed", p.compressed}};
        if (p.compressed) {
            file["innerBytes"] = p.innerBytes;
        }
        file["header"] = header(p.outer);
        if (p.compressed) {
            file["innerHeader"] = header(p.inner);
        }
        j["file"] = std::move(file);
    }
    if (report.result != QVX_RESULT_OK) {
        return j;
    }
    const SceneCounts& c = scene.counts;
    j["counts"] =
        Json{{"lights", c.lights},         {"cameras", c.cameras},        {"materials", c.materials},
             {"groups", c.groups},         {"vertices", c.vertices},      {"triangles", c.triangles},
             {"uvSets", c.uvSets},         {"meshes", c.meshes},          {"bones", c.bones},
             {"animations", c.animations}, {"infoStrings", c.infoStrings}};
    Json lights = Json::array();
    for (const Light& l : scene.lights) lights.push_back(Json{{"name", text(l.name)}, {"kind", l.kind}});
    j["lights"] = std::move(lights);
    Json cameras = Json::array();
    for (const Camera& cam : scene.cameras) cameras.push_back(Json{{"name", text(cam.name)}});
    j["cameras"] = std::move(cameras);
    Json materials = Json::array();
    for (const Material& m : scene.materials) {
        materials.push_back(Json{{"name", text(m.name)}, {"textures", texturePaths(m)}});
    }
    j["materials"] = std::move(materials);
    // A flat list with parent indices: scripts rebuild the tree however deep it is.
    Json bones = Json::array();
    for (const Bone& b : scene.bones)
        bones.push_back(Json{{"name", text(b.name)}, {"parent", b.parentIndex}});
    j["bones"] = std::move(bones);
    Json animations = Json::array();
    for (const Animation& a : scene.animations) {
        animations.push_back(Json{{"name", text(a.name)},
                                  {"startTick", a.startTick},
                                  {"endTick", a.startTick + a.tickCount},
                                  {"fps", a.fps},
                                  {"tracks", a.trackCount()}});
    }
    j["animations"] = std::move(animations);
    return j;
}

std::string jsonText(const Json& document) {
    return document.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

namespace {

// Each file is loaded as the text commands load it: `check` with the post-load preparation,
// `info` the file's own records; nothing is written beside the file.
int runJson(const std::vector<std::string>& files, bool info) {
    Json list = Json::array();
    int status = 0;
    for (const std::string& path : files) {
        Scene scene;
        LoadReport report;
        LoadOptions options;
        options.prepare = !info;
        options.extractEmbeddedFiles = false;
        if (loadSceneFile(path, scene, options, &report) != QVX_RESULT_OK) {
            status = 1;
        }
        list.push_back(info ? infoEntryJson(report, scene) : checkEntryJson(report));
    }
    std::cout << jsonText(Json{{"files", std::move(list)}});
    return status;
}

}  // namespace

int runCheckJson(const std::vector<std::string>& files) {
    return runJson(files, false);
}

int runInfoJson(const std::vector<std::string>& files) {
    return runJson(files, true);
}
