#include "SceneJson.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "format/TempFile.h"
#include "scene/Scene.h"

namespace {

// A JSON writer that lays the text out as nlohmann::json's dump(1) does (one space per
// level, "key": value, every array element on its own line, empty containers as [] and {}),
// so that the text is the same as that of the document built in memory.
class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) { buffer_.reserve(kFlushBytes + 4096); }
    ~JsonWriter() { flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    JsonWriter& key(std::string_view name) {
        separate();
        quoted(name);
        buffer_ += ": ";
        afterKey_ = true;
        return *this;
    }
    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }

    JsonWriter& value(std::string_view text) {
        separate();
        quoted(text);
        return done();
    }
    JsonWriter& value(const RecordName& name) { return value(name.narrowView()); }
    JsonWriter& value(const OwnedString& text) { return text.isNull() ? null() : value(text.view()); }
    JsonWriter& value(std::int32_t v) { return integer(v); }
    JsonWriter& value(std::uint32_t v) { return integer(v); }
    JsonWriter& value(float v) {
        separate();
        const double x = v;
        if (!std::isfinite(x)) {
            buffer_ += "null";
        } else {
            char digits[64];
            char* end = nlohmann::detail::to_chars(digits, digits + sizeof digits, x);
            buffer_.append(digits, static_cast<std::size_t>(end - digits));
        }
        return done();
    }
    JsonWriter& null() {
        separate();
        buffer_ += "null";
        return done();
    }

    template <class T>
    JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }
    template <class T>
    JsonWriter& values(const T* v, std::int32_t count) {
        beginArray();
        for (std::int32_t i = 0; v && i < count; ++i) value(v[i]);
        return endArray();
    }

    bool finish() {
        buffer_ += '\n';
        flush();
        out_.flush();
        return static_cast<bool>(out_);
    }

  private:
    static constexpr std::size_t kFlushBytes = 1 << 16;

    template <class T>
    JsonWriter& integer(T v) {
        separate();
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, v);
        buffer_.append(digits, static_cast<std::size_t>(r.ptr - digits));
        return done();
    }
    JsonWriter& open(char c) {
        separate();
        buffer_ += c;
        empty_.push_back(true);
        return *this;
    }
    JsonWriter& close(char c) {
        const bool wasEmpty = empty_.back();
        empty_.pop_back();
        if (!wasEmpty) {
            buffer_ += '\n';
            buffer_.append(empty_.size(), ' ');
        }
        buffer_ += c;
        return done();
    }
    // Before a key, or a value that has no key: the comma and line break of its container.
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (empty_.empty()) return;
        buffer_ += empty_.back() ? "\n" : ",\n";
        empty_.back() = false;
        buffer_.append(empty_.size(), ' ');
    }
    JsonWriter& done() {
        if (buffer_.size() >= kFlushBytes) flush();
        return *this;
    }
    void flush() {
        if (!buffer_.empty()) out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    void quoted(std::string_view narrow) {
        utf8_.clear();
        appendNarrowAsUtf8(utf8_, narrow);
        buffer_ += '"';
        for (const char c : utf8_) {
            const auto u = static_cast<unsigned char>(c);
            switch (c) {
                case '"':
                    buffer_ += "\\\"";
                    break;
                case '\\':
                    buffer_ += "\\\\";
                    break;
                case '\b':
                    buffer_ += "\\b";
                    break;
                case '\f':
                    buffer_ += "\\f";
                    break;
                case '\n':
                    buffer_ += "\\n";
                    break;
                case '\r':
                    buffer_ += "\\r";
                    break;
                case '\t':
                    buffer_ += "\\t";
                    break;
                default:
                    if (u < 0x20) {
                        static constexpr char kHex[] = "0123456789abcdef";
                        buffer_ += "\\u00";
                        buffer_ += kHex[u >> 4];
                        buffer_ += kHex[u & 0xF];
                    } else {
                        buffer_ += c;
                    }
            }
        }
        buffer_ += '"';
    }

    std::ostream& out_;
    std::string buffer_;
    std::string utf8_;
    std::vector<bool> empty_;  // per open container: nothing written into it yet
    bool afterKey_ = false;
};

void vec3(JsonWriter& w, const Vec3& v) {
    w.beginArray().value(v.x).value(v.y).value(v.z).endArray();
}
void quat(JsonWriter& w, const Quat& q) {
    w.beginArray().value(q.x).value(q.y).value(q.z).value(q.w).endArray();
}
void color(JsonWriter& w, const Color& c) {
    w.beginArray().value(c.r).value(c.g).value(c.b).value(c.a).endArray();
}
template <std::size_t N>
void floats(JsonWriter& w, const std::array<float, N>& values) {
    w.values(values.data(), static_cast<std::int32_t>(N));
}

void transform(JsonWriter& w, const Transform& t) {
    w.beginObject();
    floats(w.key("rotationMatrix"), t.rotationMatrix);
    vec3(w.key("translation"), t.translation);
    vec3(w.key("scale"), t.scale);
    floats(w.key("matrix"), t.matrix);
    quat(w.key("quaternion"), t.quaternion);
    vec3(w.key("euler"), t.euler);
    w.endObject();
}

void triangle(JsonWriter& w, const Triangle& t) {
    w.beginObject();
    w.field("firstWord", t.firstWord).field("secondWord", t.secondWord);
    w.field("groupIndex", t.groupIndex).field("materialIndex", t.materialIndex);
    w.key("vertexIndices").values(t.vertexIndices, 3);
    w.key("secondIndices").values(t.secondIndices, 3);
    w.field("finalWord", t.finalWord);
    w.endObject();
}

void layer(JsonWriter& w, const MaterialLayer& l) {
    w.beginObject();
    w.field("channel", l.channel).field("kind", l.kind).field("flags", l.flags);
    vec3(w.key("offset"), l.offset);
    vec3(w.key("repeat"), l.repeat);
    vec3(w.key("rotation"), l.rotation);
    w.field("path", l.path);
    w.field("value1", l.value1).field("value2", l.value2).field("value3", l.value3);
    w.field("value4", l.value4).field("value5", l.value5);
    w.field("packedColor", l.packedColor).field("extraWord", l.extraWord);
    w.key("subEntries").beginArray();
    for (const LayerSubEntry& e : l.subEntries) {
        w.beginObject();
        w.field("path", e.path).field("value1", e.value1).field("value2", e.value2).field("value3", e.value3);
        w.endObject();
    }
    w.endArray();
    w.key("paths").beginArray();
    for (const RecordName& p : l.paths) w.value(p);
    w.endArray();
    w.endObject();
}

void material(JsonWriter& w, const Material& m) {
    w.beginObject();
    w.field("name", m.name).field("flags", m.flags);
    color(w.key("diffuse"), m.diffuse);
    color(w.key("ambient"), m.ambient);
    color(w.key("color3"), m.color3);
    color(w.key("specular"), m.specular);
    color(w.key("color5"), m.color5);
    w.field("shininess", m.shininess).field("opacity", m.opacity).field("useCount", m.useCount);
    w.key("layers").beginArray();
    for (const auto& slot : m.layers) {
        if (slot) {
            layer(w, *slot);
        } else {
            w.null();
        }
    }
    w.endArray();
    w.endObject();
}

void vertex(JsonWriter& w, const Vertex& v) {
    w.beginObject();
    w.field("flags", v.flags);
    vec3(w.key("position"), v.position);
    vec3(w.key("normal"), v.normal);
    color(w.key("color"), v.color);
    w.key("weights").beginArray();
    for (const VertexWeight& x : v.weights)
        w.beginArray().value(x.influenceIndex).value(x.boneIndex).value(x.weight).endArray();
    w.endArray();
    w.endObject();
}

void uvSet(JsonWriter& w, const UVSet& s) {
    w.beginObject();
    w.field("name", s.name);
    w.key("coords").beginArray();
    for (const UVCoord& c : s.coords) w.beginArray().value(c.word).value(c.u).value(c.v).endArray();
    w.endArray();
    w.key("triangles").beginArray();
    for (const Triangle& t : s.triangles) triangle(w, t);
    w.endArray();
    w.endObject();
}

void polygon(JsonWriter& w, const Polygon& p) {
    w.beginObject();
    w.field("flags", p.flags).field("groupIndex", p.groupIndex).field("materialIndex", p.materialIndex);
    w.field("fourthField", p.fourthField);
    const std::int32_t n = p.cornerCount();
    w.key("vertexIndices").values(p.vertexIndices(), n);
    w.key("normalIndices").values(p.normalIndices(), n);
    w.key("colorIndices").values(p.colorIndices(), n);
    // Edge flags are shown as the signed words they were always shown as.
    w.key("edgeFlags").values(reinterpret_cast<const std::int32_t*>(p.edgeFlags()), n);
    w.key("uvs").beginArray();
    for (std::int32_t s = 0; s < p.uvChannelCount(); ++s) {
        const ConstPolygonUVs u = p.uvs(s);
        w.beginObject();
        w.key("uvIndices").values(u.uvIndices, n);
        w.key("secondIndices").values(u.secondIndices, n);
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

void mesh(JsonWriter& w, const Mesh& m) {
    w.beginObject();
    w.field("name", std::string_view(m.name));
    w.field("path", m.path).field("skinned", m.skinned);
    w.key("polygons").beginArray();
    for (const Polygon& p : m.polygons) polygon(w, p);
    w.endArray();
    w.key("materials").beginArray();
    for (const Material& mat : m.materials) material(w, mat);
    w.endArray();
    w.key("colors").beginArray();
    for (const Color& c : m.colors) color(w, c);
    w.endArray();
    w.key("uvSets").beginArray();
    for (const UVSet& s : m.uvSets) uvSet(w, s);
    w.endArray();
    w.key("vertices").beginArray();
    for (const Vertex& v : m.vertices) vertex(w, v);
    w.endArray();
    w.key("influenceNames").beginArray();
    for (const OwnedString& s : m.influenceNames) w.value(s);
    w.endArray();
    w.endObject();
}

void bone(JsonWriter& w, const Bone& b) {
    w.beginObject();
    w.field("name", b.name).field("fullPath", b.fullPath).field("parentPath", b.parentPath);
    w.field("parentIndex", b.parentIndex);
    floats(w.key("restRotationMatrix"), b.restRotationMatrix);
    vec3(w.key("position"), b.position);
    vec3(w.key("scale"), b.scale);
    floats(w.key("restMatrix"), b.restMatrix);
    quat(w.key("rotation"), b.rotation);
    vec3(w.key("restEuler"), b.restEuler);
    color(w.key("color"), b.color);
    floats(w.key("localMatrix"), b.localMatrix);
    floats(w.key("worldMatrix"), b.worldMatrix);
    w.field("weightedVertexCount", b.weightedVertexCount).field("eulerFlipFlag", b.eulerFlipFlag);
    w.endObject();
}

void animation(JsonWriter& w, const Animation& a) {
    w.beginObject();
    w.field("name", a.name).field("flags", a.flags).field("startTick", a.startTick);
    w.field("tickCount", a.tickCount).field("fps", a.fps);
    w.key("tracks").beginArray();
    for (const BoneTrack& t : a.tracks) {
        w.beginObject();
        w.key("positionKeys").beginArray();
        for (const PositionKey& k : t.positionKeys)
            w.beginArray().value(k.time).value(k.value.x).value(k.value.y).value(k.value.z).endArray();
        w.endArray();
        w.key("rotationKeys").beginArray();
        for (const RotationKey& k : t.rotationKeys) {
            w.beginArray().value(k.time).value(k.value.x).value(k.value.y).value(k.value.z);
            w.value(k.value.w).endArray();
        }
        w.endArray();
        w.key("scaleKeys").beginArray();
        for (const ScaleKey& k : t.scaleKeys)
            w.beginArray().value(k.time).value(k.value.x).value(k.value.y).value(k.value.z).endArray();
        w.endArray();
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

template <class Array, class F>
void list(JsonWriter& w, const char* name, const Array& array, F&& each) {
    w.key(name).beginArray();
    for (const auto& item : array) each(w, item);
    w.endArray();
}

}  // namespace

bool writeSceneJson(std::ostream& out, const Scene& scene) {
    JsonWriter w(out);
    w.beginObject();
    w.field("fileVersion", scene.fileVersion);
    const SceneCounts& c = scene.counts;
    w.key("counts").beginObject();
    w.field("lights", c.lights).field("cameras", c.cameras).field("materials", c.materials);
    w.field("groups", c.groups).field("vertices", c.vertices).field("triangles", c.triangles);
    w.field("uvSets", c.uvSets).field("meshes", c.meshes).field("bones", c.bones);
    w.field("animations", c.animations).field("infoStrings", c.infoStrings);
    w.endObject();
    w.field("legacyUVCount", scene.legacyUVCount);
    list(w, "lights", scene.lights, [](JsonWriter& w, const Light& l) {
        w.beginObject();
        w.field("name", l.name).field("tag", l.tag).field("kind", l.kind);
        transform(w.key("transform"), l.transform);
        w.field("param0", l.param0).field("coneAngle", l.coneAngle).field("param2", l.param2);
        w.field("param3", l.param3).field("intensity", l.intensity);
        color(w.key("color"), l.color);
        w.field("param4", l.param4).field("param5", l.param5);
        w.endObject();
    });
    list(w, "cameras", scene.cameras, [](JsonWriter& w, const Camera& cam) {
        w.beginObject();
        w.field("name", cam.name).field("tag", cam.tag).field("kind", cam.kind);
        transform(w.key("transform"), cam.transform);
        w.field("fieldOfView", cam.fieldOfView).field("nearClip", cam.nearClip).field("farClip", cam.farClip);
        w.endObject();
    });
    list(w, "materials", scene.materials, material);
    list(w, "groups", scene.groups, [](JsonWriter& w, const Group& g) {
        w.beginObject();
        w.field("name", g.name).field("flags", g.flags).field("parentIndex", g.parentIndex);
        transform(w.key("transform"), g.transform);
        w.field("extraWord", g.extraWord);
        w.key("materialUsages").beginArray();
        for (const MaterialUsage& u : g.materialUsages)
            w.beginArray().value(u.materialIndex).value(u.polygonCount).endArray();
        w.endArray();
        w.endObject();
    });
    list(w, "vertices", scene.vertices, vertex);
    list(w, "triangles", scene.triangles, triangle);
    list(w, "uvSets", scene.uvSets, uvSet);
    list(w, "meshes", scene.meshes, mesh);
    list(w, "bones", scene.bones, bone);
    list(w, "animations", scene.animations, animation);
    w.endObject();
    return w.finish();
}

namespace {

// A stream buffer that hands whole blocks to a temporary file and keeps its first error.
class TempFileBuffer : public std::streambuf {
  public:
    explicit TempFileBuffer(TempFile& file) : file_(file) {}
    const std::string& error() const { return error_; }

  protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        if (!error_.empty()) return 0;
        if (!file_.write(data, static_cast<std::size_t>(count), error_)) return 0;
        return count;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char one = traits_type::to_char_type(c);
        return xsputn(&one, 1) == 1 ? c : traits_type::eof();
    }

  private:
    TempFile& file_;
    std::string error_;
};

}  // namespace

bool sameExistingFile(const std::string& a, const std::string& b) {
    // The file system's own identity (device and file number on POSIX), so that links,
    // second hard links and other spellings of one file are all caught.
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool writeSceneJsonFile(const Scene& scene, const std::string& inputPath, const std::string& outputPath,
                        std::string& error) {
    if (sameExistingFile(inputPath, outputPath)) {
        error = outputPath + ": is the input file; the JSON would replace it";
        return false;
    }
    TempFile file;
    std::string reason;
    if (!file.createBeside(outputPath, reason)) {
        error = outputPath + ": " + reason;
        return false;
    }
    TempFileBuffer buffer(file);
    std::ostream out(&buffer);
    if (!writeSceneJson(out, scene)) {
        error = outputPath + ": " + (buffer.error().empty() ? std::string("cannot write") : buffer.error());
        return false;  // the temporary file goes with `file`
    }
    if (!file.commit(outputPath, reason)) {
        error = outputPath + ": " + reason;
        return false;
    }
    return true;
}

nlohmann::ordered_json sceneToJson(const Scene& scene) {
    std::stringstream text;
    writeSceneJson(text, scene);
    return nlohmann::ordered_json::parse(text);
}
