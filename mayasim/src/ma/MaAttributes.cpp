// Attribute paths, values and connections of scene-file statements (setAttr, connectAttr, addAttr).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

#include "MaLoader.h"

namespace mayasim {
namespace ma {

namespace {

std::string str(std::string_view s) {
    return std::string(s.data(), s.size());
}

bool isFlag(const Token& t) {
    return t.kind == Token::kWord && t.text.size() > 1 && t.text[0] == '-' &&
           std::isalpha(static_cast<unsigned char>(t.text[1]));
}

// Values the stand-in has no attribute type for, kept as written.
class RawValue : public Object {
  public:
    MFn::Type apiType() const override { return MFn::kInvalid; }
    std::string typeName;
    std::vector<std::string> tokens;
};

// Values of a matrix in transformation form after "xform": scale, rotation, rotation order,
// translation, shear, pivots and their translations, rotation axis and joint orientation quaternions,
// inverse parent scale and segment scale compensation.
constexpr std::size_t kXformValues = 37;

// The stand-in names some attributes differently from the files' short names.
const Attribute* lookup(const NodeType* t, const std::string& name) {
    if (const Attribute* a = t->findAttribute(name)) return a;
    static const struct {
        const char* type;  // the type (or a base of it) the name belongs to; empty for any
        const char* from;
        const char* to;
    } aliases[] = {
        {"", "uvst", "uvSet"},          {"", "gcl", "objectGrpCompList"}, {"", "acl", "ambientColor"},
        {"", "ofs", "outUvFilterSize"}, {"", "vc1", "vertexCameraOne"},   {"place2dTexture", "r", "rotateUV"},
    };
    for (const auto& a : aliases)
        if (name == a.from && (!*a.type || t->isA(a.type))) return t->findAttribute(a.to);
    return nullptr;
}

void setUpChild(Attribute* a, const Attribute* parent, int childIndex, const NodeType* owner) {
    a->parent = parent;
    a->depth = parent ? parent->depth + 1 : 0;
    a->childIndex = childIndex;
    a->owner = owner;
    for (std::size_t i = 0; i < a->children.size(); ++i)
        setUpChild(a->children[i].get(), a, static_cast<int>(i), owner);
}

// Levels of children below an attribute.
int attributeDepth(const Attribute* a) {
    int d = 0;
    for (const auto& c : a->children) d = std::max(d, attributeDepth(c.get()) + 1);
    return d;
}

AttrPtr cloneShape(const Attribute* like, const std::string& longName, const std::string& shortName) {
    auto a = std::make_shared<Attribute>();
    a->longName = longName;
    a->shortName = shortName;
    a->type = like->type;
    a->dataType = like->dataType;
    a->defaultValue = like->defaultValue;
    for (const auto& c : like->children)
        a->children.push_back(cloneShape(c.get(), c->longName, c->shortName));
    return a;
}

// Values per element for a typed value; 0 when the count comes from the values themselves.
int fixedCount(std::string_view typeName) {
    if (typeName.empty() || typeName == "string") return 1;
    if (typeName == "matrix") return 16;
    if (typeName.size() > 1 && (typeName.back() == '2' || typeName.back() == '3' || typeName.back() == '4')) {
        const std::string_view base = typeName.substr(0, typeName.size() - 1);
        if (base == "double" || base == "float" || base == "long" || base == "short" || base == "int")
            return typeName.back() - '0';
    }
    return 0;
}

// For list types, the values per listed item ("N item*N").
int listItemSize(std::string_view typeName) {
    if (typeName == "Int32Array" || typeName == "doubleArray" || typeName == "floatArray" ||
        typeName == "stringArray" || typeName == "componentList" || typeName == "int32Array")
        return 1;
    if (typeName == "vectorArray") return 3;
    if (typeName == "pointArray") return 4;
    return 0;
}

}  // namespace

bool Loader::number(const Token& t, double& out) const {
    if (t.kind != Token::kWord) return false;
    std::string_view s = t.text;
    if (s == "yes" || s == "on" || s == "true") {
        out = 1;
        return true;
    }
    if (s == "no" || s == "off" || s == "false") {
        out = 0;
        return true;
    }
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

bool Loader::integer(const Token& t, long long& out) const {
    double d = 0;
    if (!number(t, d) || d != std::floor(d) || std::fabs(d) > 9.0e15) return false;
    out = static_cast<long long>(d);
    return true;
}

bool Loader::splitNodePlug(std::string_view text, Node*& node, std::string_view& path, int line) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 >= text.size())
        return fail(line, "\"" + str(text) + "\" is not node.attribute");
    const std::string_view name = text.substr(0, dot);
    instance_ = 0;
    node = name[0] == ':' ? findOrDefault(name, line, &instance_) : findNode(name, &instance_);
    if (!node) return fail(line, "no node \"" + str(text.substr(0, dot)) + "\"");
    path = text.substr(dot + 1);
    return true;
}

bool Loader::resolve(Node* n, const std::vector<PathPart>& parts, bool create, const Attribute* like,
                     Shape kind, bool leafArray, ResolvedPlug& out, std::string& why) {
    out = ResolvedPlug{};
    PlugRef p;
    p.node = n;
    const Attribute* prev = nullptr;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const PathPart& part = parts[i];
        const std::string name = str(part.name);
        const Attribute* a = lookup(n->type, name);
        if (a && prev) {
            const Attribute* up = a->parent;
            while (up && up != prev) up = up->parent;
            if (!up) a = nullptr;
        }
        if (!a) {
            if (!create) {
                why = "no attribute \"" + name + "\" on " + n->type->name + " \"" + fileNameOf(n) + "\"";
                return false;
            }
            AttrPtr made;
            if (!last)
                made = compoundAttr(name, name, {});
            else if (like)
                made = cloneShape(like, name, name);
            else
                switch (kind) {
                    case Shape::kNumber:
                        made = attr(name, name, AttrType::kDouble);
                        break;
                    case Shape::kBool:
                        made = attr(name, name, AttrType::kBool);
                        break;
                    case Shape::kString:
                        made = stringAttr(name, name);
                        break;
                    case Shape::kMatrix:
                        made = matrixAttr(name, name);
                        break;
                    case Shape::kMessage:
                        made = messageAttr(name, name);
                        break;
                    default:
                        made = attr(name, name, AttrType::kData);
                        break;
                }
            made->array = part.index.kind != PartIndex::kNone || (last && leafArray);
            if (prev) {
                AttrPtr parent = dynamicAttribute(prev);
                // First met as a leaf (a size, say); a child below shows it is a compound.
                if (parent && parent->type != AttrType::kCompound && parent->children.empty())
                    parent->type = AttrType::kCompound;
                if (!parent || parent->type != AttrType::kCompound) {
                    why =
                        "no attribute \"" + name + "\" under \"" + prev->longName + "\" on " + n->type->name;
                    return false;
                }
                if (prev->depth + 1 + attributeDepth(made.get()) >= kMaxAttrDepth) {
                    why = "attribute nesting too deep at \"" + name + "\"";
                    return false;
                }
                setUpChild(made.get(), prev, static_cast<int>(parent->children.size()), prev->owner);
                parent->children.push_back(made);
                types().define(prev->owner->name, MFn::kInvalid, "");
            } else {
                if (attributeDepth(made.get()) >= kMaxAttrDepth) {
                    why = "attribute nesting too deep at \"" + name + "\"";
                    return false;
                }
                types().addAttribute(n->type->name, made);
            }
            rememberDynamic(made);
            types().find(n->type->name);  // brings the type's name index up to date
            a = made.get();
        }
        const std::size_t d = static_cast<std::size_t>(a->depth);
        if (!a->array && part.index.kind != PartIndex::kNone && isDynamic(a)) {
            // First met without an index (a size, say); an index shows it is an array.
            dynamicAttribute(a)->array = true;
        }
        if (a->array) {
            switch (part.index.kind) {
                case PartIndex::kOne:
                    p.index[d] = part.index.lo;
                    break;
                case PartIndex::kRange:
                    p.index[d] = part.index.lo;
                    out.ranges.emplace_back(a->depth, part.index);
                    break;
                default:
                    // An omitted index is 0, or for per-instance attributes the instance the path names.
                    p.index[d] = last ? kNoIndex : (d == 0 ? instance_ : 0);
                    break;
            }
        } else if (part.index.kind != PartIndex::kNone) {
            why = "\"" + name + "\" is not an array";
            return false;
        }
        p.attr = a;
        prev = a;
    }
    for (const Attribute* up = p.attr->parent; up; up = up->parent)
        if (up->array && p.index[static_cast<std::size_t>(up->depth)] == kNoIndex)
            p.index[static_cast<std::size_t>(up->depth)] = up->depth == 0 ? instance_ : 0;
    out.plug = p;
    return true;
}

// ---- setAttr ----
bool Loader::setAttr(std::vector<Token>& t) {
    const int line = t.front().line;
    std::string_view attrText, typeName;
    bool haveAttr = false, sized = false;
    std::size_t i = 1;
    for (; i < t.size(); ++i) {
        const Token& x = t[i];
        if (!haveAttr && isFlag(x)) {
            const std::string_view f = x.text;
            if (f == "-type") {
                if (i + 1 >= t.size() || t[i + 1].kind != Token::kString)
                    return fail(line, "setAttr -type needs a type name");
                typeName = t[++i].text;
            } else if (f == "-s" || f == "-size" || f == "-k" || f == "-keyable" || f == "-l" ||
                       f == "-lock" || f == "-cb" || f == "-channelBox" || f == "-ca" || f == "-caching" ||
                       f == "-ch" || f == "-capacityHint") {
                if (i + 1 >= t.size()) return fail(line, "setAttr " + str(f) + " needs a value");
                sized = sized || f == "-s" || f == "-size";
                ++i;
            }
            continue;
        }
        if (!haveAttr) {
            if (x.kind != Token::kString) return fail(line, "setAttr needs a quoted attribute name");
            attrText = x.text;
            haveAttr = true;
            if (i + 2 < t.size() + 1 && i + 1 < t.size() && t[i + 1].isWord("-type")) {
                if (i + 2 >= t.size() || t[i + 2].kind != Token::kString)
                    return fail(line, "setAttr -type needs a type name");
                typeName = t[i + 2].text;
                i += 3;
            } else {
                ++i;
            }
            break;
        }
    }
    if (!haveAttr) return fail(line, "setAttr without an attribute");
    Node* node = current_;
    std::string_view path = attrText;
    instance_ = 0;
    if (!attrText.empty() && attrText[0] == '.') {
        path.remove_prefix(1);
        if (!node) {
            note(line, "setAttr with no current node ignored");
            return true;
        }
    } else if (!splitNodePlug(attrText, node, path, line)) {
        return false;
    }
    std::vector<PathPart> parts;
    std::string why;
    if (!parsePlugPath(path, parts, why)) return fail(line, why);
    // The values, without copying the (possibly millions of) tokens.
    t.erase(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(i));
    std::vector<Token>& values = t;
    if (node->type->isA("mesh")) {
        bool handled = false;
        if (!meshAttr(node, parts, typeName, values, line, handled)) return false;
        if (handled) return true;
    }
    if (node->type->isA("animCurve")) {
        bool handled = false;
        if (!curveAttr(node, parts, values, line, handled)) return false;
        if (handled) return true;
    }
    // A compound of Maya's that the stand-in holds as separate attributes.
    if (parts.size() == 1 && parts[0].index.kind == PartIndex::kNone && node->type->isA("camera") &&
        (parts[0].name == "cap" || parts[0].name == "cameraAperture") && !values.empty()) {
        std::size_t at = 0;
        for (const char* c : {"horizontalFilmAperture", "verticalFilmAperture"})
            if (!assign(node->plug(c), "", values, at, line)) return false;
        if (at < values.size()) return fail(line, "more values than \"" + str(attrText) + "\" takes");
        return true;
    }
    Shape kind = Shape::kData;
    if (typeName == "string")
        kind = Shape::kString;
    else if (typeName == "matrix")
        kind = Shape::kMatrix;
    else if (typeName.empty() && values.size() == 1) {
        double d = 0;
        const std::string_view v = values[0].text;
        const bool boolWord =
            v == "yes" || v == "no" || v == "on" || v == "off" || v == "true" || v == "false";
        kind = values[0].kind == Token::kString ? Shape::kString
               : boolWord                       ? Shape::kBool
               : number(values[0], d)           ? Shape::kNumber
                                                : Shape::kData;
    }
    ResolvedPlug r;
    if (!resolve(node, parts, true, nullptr, kind, sized, r, why)) {
        note(line, why + "; value ignored");
        return true;
    }
    std::size_t at = 0;
    if (!assignRanges(r, typeName, values, at, line)) return false;
    if (at < values.size())
        return fail(line, "more values than \"" + str(attrText) + "\" takes (" +
                              std::to_string(values.size() - at) + " left)");
    return true;
}

bool Loader::assignRanges(const ResolvedPlug& r, std::string_view typeName, const std::vector<Token>& v,
                          std::size_t& at, int line) {
    if (v.empty()) return true;  // a size or flag change only
    inRange_ = !r.ranges.empty();
    std::function<bool(std::size_t, PlugRef)> walk = [&](std::size_t k, PlugRef p) -> bool {
        if (k == r.ranges.size()) return assign(p, typeName, v, at, line);
        const int depth = r.ranges[k].first;
        const PartIndex span = r.ranges[k].second;
        for (unsigned i = span.lo;; ++i) {
            if (at >= v.size())
                return fail(line, "fewer values than the index range [" + std::to_string(span.lo) + ":" +
                                      std::to_string(span.hi) + "] needs");
            p.index[static_cast<std::size_t>(depth)] = i;
            const std::size_t before = at;
            if (!walk(k + 1, p)) return false;
            if (at == before || i == span.hi) break;
        }
        return true;
    };
    return walk(0, r.plug);
}

bool Loader::assign(const PlugRef& p, std::string_view typeName, const std::vector<Token>& v, std::size_t& at,
                    int line) {
    const Attribute* a = p.attr;
    auto need = [&](std::size_t n) {
        if (at + n > v.size()) return fail(line, "too few values for \"" + p.name(false) + "\"");
        return true;
    };
    if (a->array && !p.isElement()) {
        // A whole array: "count (index value...)*count", as lists of weights are written.
        long long n = 0;
        if (!need(1) || !integer(v[at], n) || n < 0)
            return fail(line, "expected an element count for \"" + p.name(false) + "\"");
        ++at;
        for (long long k = 0; k < n; ++k) {
            long long idx = 0;
            if (!need(1) || !integer(v[at], idx) || idx < 0 || idx > 0xFFFFFFFELL)
                return fail(line, "expected an element index for \"" + p.name(false) + "\"");
            ++at;
            if (!assign(p.element(static_cast<unsigned>(idx)), typeName, v, at, line)) return false;
        }
        return true;
    }
    if (a->type == AttrType::kCompound) {
        if (a->children.empty()) return fail(line, "\"" + p.name(false) + "\" holds no values");
        for (const auto& c : a->children)
            if (!assign(p.child(c.get()), typeName, v, at, line)) return false;
        return true;
    }
    if (a->type == AttrType::kMatrix) {
        if (!need(1)) return false;
        if (v[at].kind == Token::kString && v[at].text == "xform") {
            // The transformation form of a matrix (scale, rotation, pivots, orientations): kept as the
            // identity; the stand-in reads such values from the transforms themselves.
            if (!need(1 + kXformValues)) return false;
            at += 1 + kXformValues;
            count("matrices in transformation form read as identity");
            return true;
        }
        if (!need(16)) return false;
        Matrix16 m{};
        for (std::size_t k = 0; k < 16; ++k)
            if (!number(v[at + k], m[k]))
                return fail(line, "expected 16 numbers for \"" + p.name(false) + "\"");
        at += 16;
        for (std::size_t k = 12; k < 15; ++k) m[k] *= units_.linear;
        scene_.write(p, m);
        return true;
    }
    if (a->type == AttrType::kString) {
        if (!need(1)) return false;
        scene_.write(p, str(v[at++].text));
        return true;
    }
    if (a->type == AttrType::kMessage) return fail(line, "\"" + p.name(false) + "\" takes no value");
    if (a->type == AttrType::kData) {
        if (!need(1)) return false;
        if (typeName == "componentList" || (typeName.empty() && a->longName == "objectGrpCompList")) {
            long long n = 0;
            if (!integer(v[at], n) || n < 0) return fail(line, "expected a component count");
            ++at;
            if (!need(static_cast<std::size_t>(n))) return false;
            ObjectPtr c;
            if (!components(v, at, static_cast<std::size_t>(n), c, line)) return false;
            at += static_cast<std::size_t>(n);
            scene_.write(p, c);
            return true;
        }
        auto raw = std::make_shared<RawValue>();
        raw->typeName = str(typeName);
        std::size_t take = v.size() - at;
        if (const int k = listItemSize(typeName)) {
            long long n = 0;
            if (!integer(v[at], n) || n < 0) return fail(line, "expected an item count for " + str(typeName));
            if (static_cast<unsigned long long>(n) > (v.size() - at - 1) / static_cast<unsigned>(k))
                return fail(line, "fewer values than the " + str(typeName) + " count says");
            take = 1 + static_cast<std::size_t>(n) * static_cast<std::size_t>(k);
        } else if (typeName == "matrix" && v[at].kind == Token::kString && v[at].text == "xform") {
            take = 1 + kXformValues;
            if (!need(take)) return false;
        } else if (typeName.empty() && !inRange_) {
            take = v.size() - at;  // a value the stand-in has no type for: all of it
        } else if (const int f = fixedCount(typeName)) {
            if (!need(static_cast<std::size_t>(f))) return false;
            take = static_cast<std::size_t>(f);
        }
        raw->tokens.reserve(take);
        for (std::size_t k = 0; k < take; ++k) raw->tokens.push_back(str(v[at + k].text));
        at += take;
        scene_.write(p, ObjectPtr(raw));
        return true;
    }
    // A number.
    if (!need(1)) return false;
    double d = 0;
    if (!number(v[at], d)) {
        if (isDynamic(a)) {
            auto raw = std::make_shared<RawValue>();
            raw->tokens.push_back(str(v[at++].text));
            scene_.write(p, ObjectPtr(raw));
            return true;
        }
        return fail(line,
                    "expected a number for \"" + p.name(false) + "\", found \"" + str(v[at].text) + "\"");
    }
    ++at;
    switch (a->type) {
        case AttrType::kDistance:
            d *= units_.linear;
            break;
        case AttrType::kAngle:
            d *= units_.angle;
            break;
        case AttrType::kTime:
            d *= units_.time;
            break;
        default:
            break;
    }
    scene_.write(p, d);
    return true;
}

// ---- connectAttr ----
bool Loader::connectAttr(const std::vector<Token>& t) {
    const int line = t.front().line;
    bool nextAvailable = false, force = false;
    std::vector<std::string_view> plugs;
    for (std::size_t i = 1; i < t.size(); ++i) {
        const Token& x = t[i];
        if (x.isWord("-na") || x.isWord("-nextAvailable")) {
            nextAvailable = true;
        } else if (x.isWord("-f") || x.isWord("-force")) {
            force = true;
        } else if (x.isWord("-l") || x.isWord("-lock") || x.isWord("-rd") || x.isWord("-referenceDest")) {
            ++i;
        } else if (isFlag(x)) {
        } else {
            plugs.push_back(x.text);
        }
    }
    if (plugs.size() != 2) return fail(line, "connectAttr needs a source and a destination");
    Node *sn = nullptr, *dn = nullptr;
    std::string_view sp, dp;
    if (!splitNodePlug(plugs[0], sn, sp, line)) return false;
    const unsigned srcInstance = instance_;
    if (!splitNodePlug(plugs[1], dn, dp, line)) return false;
    const unsigned dstInstance = instance_;
    std::vector<PathPart> sparts, dparts;
    std::string why;
    if (!parsePlugPath(sp, sparts, why) || !parsePlugPath(dp, dparts, why)) return fail(line, why);
    ResolvedPlug rs, rd;
    std::string whyS, whyD;
    instance_ = srcInstance;
    bool okS = resolve(sn, sparts, false, nullptr, Shape::kData, false, rs, whyS);
    instance_ = dstInstance;
    bool okD = resolve(dn, dparts, false, nullptr, Shape::kData, false, rd, whyD);
    instance_ = srcInstance;
    if (!okS) okS = resolve(sn, sparts, true, okD ? rd.plug.attr : nullptr, Shape::kData, false, rs, whyS);
    instance_ = dstInstance;
    if (!okD) okD = resolve(dn, dparts, true, rs.plug.attr, Shape::kData, nextAvailable, rd, whyD);
    if (!okS) return fail(line, whyS);
    if (!okD) return fail(line, whyD);
    if (!rs.ranges.empty() || !rd.ranges.empty()) return fail(line, "index ranges cannot be connected");
    PlugRef src = rs.plug, dst = rd.plug;
    if (src.attr->array && !src.isElement()) src = src.element(src.attr->depth == 0 ? srcInstance : 0);
    if (dst.attr->array && !dst.isElement()) {
        unsigned next = 0;
        if (nextAvailable) {
            for (unsigned i : scene_.elementIndices(dst)) next = std::max(next, i + 1);
            for (const Connection& c : dn->connections)
                if (c.localIsDestination && c.local.attr == dst.attr &&
                    c.local.index[static_cast<std::size_t>(dst.attr->depth)] != kNoIndex)
                    next = std::max(next, c.local.index[static_cast<std::size_t>(dst.attr->depth)] + 1);
        }
        dst = dst.element(nextAvailable ? next : (dst.attr->depth == 0 ? dstInstance : 0));
    }
    if (src == dst) return fail(line, "a plug cannot feed itself");
    if (!scene_.connect(src, dst)) {
        scene_.canConnect(src, dst, &why);
        PlugRef old;
        if (scene_.sourceOf(dst, old)) {
            if (!force) {
                note(line, "\"" + dst.name(false) + "\" is already connected; connection from \"" +
                               src.name(false) + "\" ignored");
                return true;
            }
            scene_.disconnect(old, dst);
            if (scene_.connect(src, dst)) {
                ++report_.connections;
                return true;
            }
        }
        // The file is what Maya made: keep the connection even where the stand-in's schema disagrees.
        src.node->connections.push_back(Connection{src, dst, false});
        dst.node->connections.push_back(Connection{dst, src, true});
        if (src.isElement()) scene_.touchElement(src);
        if (dst.isElement()) scene_.touchElement(dst);
        if (!isDynamic(src.attr) && !isDynamic(dst.attr))
            note(line, "kept connection " + src.name(false) + " -> " + dst.name(false) + " (" + why + ")");
    }
    ++report_.connections;
    return true;
}

// ---- addAttr ----
bool Loader::addAttr(const std::vector<Token>& t) {
    const int line = t.front().line;
    std::string longName, shortName, attrType, dataType, parentName;
    bool multi = false;
    double def = 0;
    bool hasDefault = false;
    std::vector<std::string_view> names;
    for (std::size_t i = 1; i < t.size(); ++i) {
        const Token& x = t[i];
        if (!isFlag(x)) {
            names.push_back(x.text);
            continue;
        }
        const std::string_view f = x.text;
        const bool hasValue = i + 1 < t.size() && !isFlag(t[i + 1]);
        if (f == "-m" || f == "-multi") {
            multi = true;
            continue;
        }
        if (!hasValue) continue;
        const Token& val = t[++i];
        if (f == "-ln" || f == "-longName")
            longName = str(val.text);
        else if (f == "-sn" || f == "-shortName")
            shortName = str(val.text);
        else if (f == "-at" || f == "-attributeType")
            attrType = str(val.text);
        else if (f == "-dt" || f == "-dataType")
            dataType = str(val.text);
        else if (f == "-p" || f == "-parent")
            parentName = str(val.text);
        else if (f == "-dv" || f == "-defaultValue")
            hasDefault = number(val, def);
    }
    if (longName.empty()) return fail(line, "addAttr needs a long name");
    if (shortName.empty()) shortName = longName;
    Node* node = current_;
    if (!names.empty()) node = findNode(names.back());
    if (!node) return fail(line, "addAttr has no node");
    AttrType type = AttrType::kDouble;
    if (!dataType.empty()) {
        type = dataType == "string"   ? AttrType::kString
               : dataType == "matrix" ? AttrType::kMatrix
                                      : AttrType::kData;
    } else if (attrType == "bool") {
        type = AttrType::kBool;
    } else if (attrType == "long" || attrType == "int") {
        type = AttrType::kInt;
    } else if (attrType == "short" || attrType == "byte" || attrType == "char" || attrType == "enum") {
        type = AttrType::kShort;
    } else if (attrType == "float") {
        type = AttrType::kFloat;
    } else if (attrType == "doubleLinear") {
        type = AttrType::kDistance;
    } else if (attrType == "doubleAngle") {
        type = AttrType::kAngle;
    } else if (attrType == "time") {
        type = AttrType::kTime;
    } else if (attrType == "message") {
        type = AttrType::kMessage;
    } else if (attrType == "matrix" || attrType == "fltMatrix") {
        type = AttrType::kMatrix;
    } else if (attrType == "compound" || attrType == "reflectance" || attrType == "spectrum" ||
               (attrType.size() > 1 && (attrType.back() == '2' || attrType.back() == '3'))) {
        type = AttrType::kCompound;
    }
    const Attribute* existing = node->type->findAttribute(longName);
    if (existing) return true;  // the type already has it (another node of this type added it)
    AttrPtr a = type == AttrType::kString   ? stringAttr(longName, shortName)
                : type == AttrType::kMatrix ? matrixAttr(longName, shortName)
                                            : attr(longName, shortName, type, hasDefault ? def : 0.0);
    a->array = multi;
    if (!parentName.empty()) {
        const Attribute* parent = node->type->findAttribute(parentName);
        AttrPtr parentPtr = parent ? dynamicAttribute(parent) : nullptr;
        if (!parentPtr || parentPtr->type != AttrType::kCompound || parent->depth + 1 >= kMaxAttrDepth)
            return fail(line,
                        "addAttr parent \"" + parentName + "\" is not a compound attribute added before");
        setUpChild(a.get(), parent, static_cast<int>(parentPtr->children.size()), parent->owner);
        parentPtr->children.push_back(a);
        types().define(parent->owner->name, MFn::kInvalid, "");
    } else {
        types().addAttribute(node->type->name, a);
    }
    rememberDynamic(a);
    types().find(node->type->name);
    count("attributes added with addAttr (kept on the node type)");
    return true;
}

}  // namespace ma
}  // namespace mayasim
