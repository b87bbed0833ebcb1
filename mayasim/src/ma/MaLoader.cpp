// Statements of an ASCII scene file applied to the scene: nodes, values, connections.
#include "MaLoader.h"

#include <maya/MTime.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <set>
#include <unordered_set>

#include "../HostState.h"
#include "../Mesh.h"

namespace mayasim {
namespace ma {

namespace {

// Notes beyond this many are counted, not listed, so that a damaged file cannot grow the report without
// bound.
constexpr std::size_t kMaxNotes = 100;

bool startsWith(std::string_view s, std::string_view p) {
    return s.size() >= p.size() && s.substr(0, p.size()) == p;
}

std::string str(std::string_view s) {
    return std::string(s.data(), s.size());
}

// Names of the default nodes every Maya scene holds and their types, for "select -ne :name" of a node
// the stand-in's new scene does not make.
const char* defaultNodeType(std::string_view name) {
    static const std::pair<const char*, const char*> table[] = {
        {"time1", "time"},
        {"renderPartition", "partition"},
        {"renderGlobalsList1", "renderGlobalsList"},
        {"defaultShaderList1", "shaderList"},
        {"defaultTextureList1", "textureList"},
        {"postProcessList1", "postProcessList"},
        {"defaultRenderingList1", "defaultRenderingList"},
        {"defaultRenderUtilityList1", "defaultRenderUtilityList"},
        {"lightList1", "lightList"},
        {"initialShadingGroup", "shadingEngine"},
        {"initialParticleSE", "shadingEngine"},
        {"initialMaterialInfo", "materialInfo"},
        {"defaultLightSet", "objectSet"},
        {"defaultObjectSet", "objectSet"},
        {"lambert1", "lambert"},
        {"particleCloud1", "particleCloud"},
        {"defaultResolution", "resolution"},
        {"defaultRenderGlobals", "renderGlobals"},
        {"hardwareRenderGlobals", "hwRenderGlobals"},
        {"defaultHardwareRenderGlobals", "hwRenderGlobals"},
        {"hardwareRenderingGlobals", "hardwareRenderingGlobals"},
        {"defaultColorMgtGlobals", "colorManagementGlobals"},
        {"ikSystem", "ikSystem"},
        {"strokeGlobals", "strokeGlobals"},
        {"defaultViewColorManager", "viewColorManager"},
    };
    for (const auto& e : table)
        if (name == e.first) return e.second;
    return "unknown";
}

}  // namespace

bool parsePlugPath(std::string_view text, std::vector<PathPart>& parts, std::string& why) {
    parts.clear();
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '.' && text[j] != '[') ++j;
        PathPart part;
        part.name = text.substr(i, j - i);
        if (part.name.empty()) {
            why = "malformed attribute \"" + str(text) + "\"";
            return false;
        }
        if (j < text.size() && text[j] == '[') {
            const std::size_t close = text.find(']', j);
            if (close == std::string_view::npos) {
                why = "unclosed index in \"" + str(text) + "\"";
                return false;
            }
            std::string_view inside = text.substr(j + 1, close - j - 1);
            if (inside == "*" || inside.empty()) {
                part.index.kind = PartIndex::kAll;
            } else {
                const std::size_t colon = inside.find(':');
                auto num = [&](std::string_view s, unsigned& out) {
                    if (s.empty()) return false;
                    auto r = std::from_chars(s.data(), s.data() + s.size(), out);
                    return r.ec == std::errc() && r.ptr == s.data() + s.size();
                };
                if (colon == std::string_view::npos) {
                    if (!num(inside, part.index.lo)) {
                        why = "bad index in \"" + str(text) + "\"";
                        return false;
                    }
                    part.index.hi = part.index.lo;
                    part.index.kind = PartIndex::kOne;
                } else {
                    if (!num(inside.substr(0, colon), part.index.lo) ||
                        !num(inside.substr(colon + 1), part.index.hi) || part.index.hi < part.index.lo) {
                        why = "bad index range in \"" + str(text) + "\"";
                        return false;
                    }
                    part.index.kind = PartIndex::kRange;
                }
            }
            j = close + 1;
        }
        parts.push_back(part);
        if (j >= text.size()) break;
        if (text[j] != '.') {
            why = "malformed attribute \"" + str(text) + "\"";
            return false;
        }
        i = j + 1;
        if (parts.size() > static_cast<std::size_t>(kMaxAttrDepth)) {
            why = "attribute path too deep: \"" + str(text) + "\"";
            return false;
        }
    }
    return !parts.empty();
}

// ---- Dynamic attributes ----
namespace {
std::unordered_map<const Attribute*, AttrPtr>& dynamicTable() {
    static std::unordered_map<const Attribute*, AttrPtr> table;
    return table;
}
}  // namespace

bool isDynamic(const Attribute* a) {
    return dynamicTable().count(a) != 0;
}
AttrPtr dynamicAttribute(const Attribute* a) {
    auto it = dynamicTable().find(a);
    return it == dynamicTable().end() ? nullptr : it->second;
}
void rememberDynamic(const AttrPtr& a) {
    dynamicTable()[a.get()] = a;
    for (auto& c : a->children) rememberDynamic(c);
}

// ---- Loader ----
Loader::Loader(MaLoadReport& report, std::string fileName, bool opening)
    : report_(report), fileName_(std::move(fileName)), opening_(opening), scene_(scene()) {}

bool Loader::fail(int line, const std::string& what) {
    report_.error = fileName_ + " line " + std::to_string(line) + ": " + what;
    return false;
}

void Loader::note(int line, const std::string& what) {
    if (report_.notes.size() >= kMaxNotes) {
        count("further notes not listed");
        return;
    }
    report_.notes.push_back(line > 0 ? "line " + std::to_string(line) + ": " + what : what);
}

void Loader::count(const std::string& what) {
    ++counts_[what];
}

bool Loader::run(std::string_view text) {
    Tokenizer tok(text);
    std::vector<Token> t;
    std::string error;
    for (;;) {
        if (!tok.next(t, error)) {
            if (!error.empty()) {
                report_.error = fileName_ + " " + error;
                return false;
            }
            break;
        }
        ++report_.statements;
        if (!statement(t)) return false;
    }
    if (!finishMeshes()) return false;
    finishCurves();
    if (opening_) finishTime();
    if (!unknownTypes_.empty()) {
        std::string list;
        for (const auto& u : unknownTypes_)
            list += (list.empty() ? "" : ", ") + u.first + " (" + std::to_string(u.second) + ")";
        note(0, "types not modelled, loaded as plain nodes keeping attributes and connections: " + list);
    }
    for (const auto& c : counts_) note(0, c.first + ": " + std::to_string(c.second));
    return true;
}

bool Loader::statement(std::vector<Token>& t) {
    const Token& head = t.front();
    if (head.kind != Token::kWord) return fail(head.line, "a statement must start with a command name");
    const std::string_view cmd = head.text;
    if (cmd == "setAttr") return setAttr(t);
    if (cmd == "connectAttr") return connectAttr(t);
    if (cmd == "createNode") return createNode(t);
    if (cmd == "addAttr") return addAttr(t);
    if (cmd == "parent") return parentCommand(t);
    if (cmd == "select") return selectCommand(t);
    if (cmd == "rename") return renameCommand(t);
    if (cmd == "currentUnit") return currentUnit(t);
    if (cmd == "requires") {
        std::string r;
        for (std::size_t i = 1; i < t.size(); ++i) r += (r.empty() ? "" : " ") + str(t[i].text);
        report_.requires.push_back(r);
        return true;
    }
    if (cmd == "fileInfo") {
        if (t.size() >= 3) report_.fileInfo.push_back(str(t[1].text) + "=" + str(t[2].text));
        return true;
    }
    if (cmd == "file") {
        for (const Token& x : t)
            if (x.isWord("-r") || x.isWord("-reference") || x.isWord("-rdi") ||
                x.isWord("-referenceDepthInfo"))
                return fail(head.line,
                            "file references are not supported (the scene refers to another file)");
        note(head.line, "ignored \"file\" statement");
        return true;
    }
    if (cmd == "relationship") {
        count("\"relationship\" statements ignored (light linking is not modelled)");
        return true;
    }
    if (cmd == "lockNode" || cmd == "dataStructure" || cmd == "disconnectAttr" || cmd == "setKeyframe") {
        count("\"" + str(cmd) + "\" statements ignored");
        return true;
    }
    note(head.line, "ignored unknown statement \"" + str(cmd) + "\"");
    return true;
}

// ---- Node names ----
const std::string& Loader::fileNameOf(const Node* n) const {
    auto it = fileNames_.find(n);
    return it == fileNames_.end() ? n->name : it->second;
}

void Loader::remember(Node* n, const std::string& fileName) {
    fileNames_[n] = fileName;
    byFileName_.emplace(fileName, n);
}

Node* Loader::findNode(std::string_view text, unsigned* instance) const {
    std::vector<std::string_view> comps;
    bool full = false;
    std::size_t i = 0;
    if (!text.empty() && text[0] == '|') {
        full = true;
        i = 1;
    }
    while (i <= text.size()) {
        std::size_t j = text.find('|', i);
        if (j == std::string_view::npos) j = text.size();
        std::string_view c = text.substr(i, j - i);
        if (!c.empty() && c[0] == ':') c.remove_prefix(1);  // the root namespace
        if (c.empty()) return nullptr;
        comps.push_back(c);
        i = j + 1;
    }
    if (comps.empty()) return nullptr;
    const std::string leaf = str(comps.back());
    // The nodes this file made under that name come first (an import may have renamed them), then
    // the scene's own.
    std::vector<Node*> candidates;
    auto range = byFileName_.equal_range(leaf);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second->isAlive) candidates.push_back(it->second);
    auto bySerial = [](const Node* a, const Node* b) { return a->serial < b->serial; };
    std::sort(candidates.begin(), candidates.end(), bySerial);
    const std::size_t fromFile = candidates.size();
    for (Node* n : scene_.nodesNamed(leaf))
        if (!fileNames_.count(n)) candidates.push_back(n);
    if (candidates.size() == fromFile) {
        const std::string legal = legalName(leaf);
        if (legal != leaf)
            for (Node* n : scene_.nodesNamed(legal))
                if (!fileNames_.count(n)) candidates.push_back(n);
    }
    std::sort(candidates.begin() + static_cast<std::ptrdiff_t>(fromFile), candidates.end(), bySerial);
    // Does `n`, reached through its parents, match comps[0..k] above it? Every instance path counts;
    // ancestors already found not to match are remembered, so shared ancestors are visited once.
    std::set<std::pair<const Node*, std::size_t>> failed;
    std::function<bool(const Node*, std::size_t)> above = [&](const Node* n, std::size_t k) -> bool {
        if (k == 0)
            return !full ||
                   std::find(n->parents.begin(), n->parents.end(), scene_.world()) != n->parents.end();
        if (failed.count({n, k})) return false;
        for (const Node* p : n->parents)
            if (p != scene_.world() && fileNameOf(p) == comps[k - 1] && above(p, k - 1)) return true;
        failed.insert({n, k});
        return false;
    };
    for (Node* n : candidates) {
        if (comps.size() == 1 && !full) {
            if (instance) *instance = 0;
            return n;
        }
        for (std::size_t i = 0; i < n->parents.size(); ++i) {
            const Node* p = n->parents[i];
            if (p != scene_.world() && fileNameOf(p) == comps[comps.size() - 2] &&
                above(p, comps.size() - 2)) {
                if (instance) *instance = static_cast<unsigned>(i);
                return n;
            }
            if (p == scene_.world() && comps.size() == 1) {
                if (instance) *instance = static_cast<unsigned>(i);
                return n;
            }
        }
    }
    return nullptr;
}

namespace {
// Types the loader added to the table for node types the stand-in does not model.
std::unordered_set<std::string>& madeTypes() {
    static std::unordered_set<std::string> names;
    return names;
}
}  // namespace

const NodeType* Loader::typeFor(const std::string& typeName, bool dag, int line) {
    const NodeType* t = types().find(typeName);
    if (t && madeTypes().count(typeName)) ++unknownTypes_[typeName];
    if (t && !t->abstract) return t;
    if (t && t->abstract) {
        note(line, "type \"" + typeName + "\" cannot be created; made a plain node instead");
        return types().find("unknown");
    }
    ++unknownTypes_[typeName];
    std::string parent = "dependNode";
    if (dag) {
        const bool transformLike =
            typeName.find("Constraint") != std::string::npos || typeName.find("Handle") != std::string::npos;
        parent = transformLike ? "transform" : "shape";
    }
    const NodeType* p = types().find(parent);
    types().define(typeName, p ? p->api : MFn::kDependencyNode, parent);
    madeTypes().insert(typeName);
    return types().find(typeName);
}

bool Loader::createNode(const std::vector<Token>& t) {
    const int line = t.front().line;
    if (t.size() < 2) return fail(line, "createNode without a type");
    std::string typeName = str(t[1].text);
    std::string name, parentName;
    bool shared = false;
    for (std::size_t i = 2; i < t.size(); ++i) {
        const Token& x = t[i];
        if ((x.isWord("-n") || x.isWord("-name")) && i + 1 < t.size()) {
            name = str(t[++i].text);
        } else if ((x.isWord("-p") || x.isWord("-parent")) && i + 1 < t.size()) {
            parentName = str(t[++i].text);
        } else if (x.isWord("-s") || x.isWord("-shared")) {
            shared = true;
        } else if (x.isWord("-ss") || x.isWord("-skipSelect")) {
        } else {
            return fail(line, "createNode: unexpected \"" + str(x.text) + "\"");
        }
    }
    Node* parent = nullptr;
    if (!parentName.empty()) {
        parent = findNode(parentName);
        if (!parent) return fail(line, "parent \"" + parentName + "\" does not exist");
        if (!parent->type->isDag()) return fail(line, "parent \"" + parentName + "\" is not a DAG node");
    }
    const NodeType* type = typeFor(typeName, !parentName.empty(), line);
    if (!type) return fail(line, "cannot create a node of type \"" + typeName + "\"");
    if (!type->isDag() && parent) {
        note(line, "a " + typeName + " node takes no parent; \"-p\" ignored");
        parent = nullptr;
    }
    if (type->isShape() && !parent) return fail(line, "a " + typeName + " shape needs a parent");
    if (shared && !name.empty()) {
        std::string path = parent ? fileNameOf(parent) + "|" + name : name;
        Node* existing = parent ? nullptr : findNode(name);
        if (parent)
            for (Node* c : parent->children)
                if (fileNameOf(c) == name) existing = c;
        if (existing && existing->type == type) {
            current_ = existing;
            if (!fileNames_.count(existing)) remember(existing, name);
            return true;
        }
    }
    if (name.find(':') != std::string::npos)
        count("namespaced names made plain (namespaces are not modelled)");
    Node* n = scene_.createNode(type, name, parent);
    if (!n) return fail(line, "cannot create node \"" + name + "\"");
    remember(n, name.empty() ? n->name : name);
    ++report_.nodesCreated;
    current_ = n;
    if (type->isA("mesh")) {
        meshes_[n].line = line;
        meshOrder_.push_back(n);
    } else if (type->isA("animCurve")) {
        curves_[n].line = line;
        curveOrder_.push_back(n);
    }
    return true;
}

Node* Loader::findOrDefault(std::string_view name, int line, unsigned* instance) {
    if (Node* n = findNode(name, instance)) return n;
    std::string_view plain = name;
    if (!plain.empty() && plain[0] == ':') plain.remove_prefix(1);
    if (plain.empty() || plain.find('|') != std::string_view::npos ||
        plain.find(':') != std::string_view::npos)
        return nullptr;
    // A default node of Maya's scenes that the stand-in's new scene does not hold.
    const NodeType* type = typeFor(defaultNodeType(plain), false, line);
    Node* n = scene_.createNode(type, str(plain));
    if (!n) return nullptr;
    remember(n, str(plain));
    ++report_.nodesCreated;
    if (instance) *instance = 0;
    return n;
}

bool Loader::selectCommand(const std::vector<Token>& t) {
    const int line = t.front().line;
    Node* last = nullptr;
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i].kind == Token::kWord && startsWith(t[i].text, "-")) continue;
        Node* n = findOrDefault(t[i].text, line);
        if (!n) return fail(line, "no node \"" + str(t[i].text) + "\" to select");
        last = n;
    }
    if (!last) return fail(line, "select names no node");
    current_ = last;
    return true;
}

bool Loader::renameCommand(const std::vector<Token>& t) {
    const int line = t.front().line;
    std::vector<std::string_view> args;
    bool uid = false;
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i].isWord("-uid") || t[i].isWord("-uuid")) {
            uid = true;
            continue;
        }
        if (t[i].kind == Token::kWord && startsWith(t[i].text, "-")) continue;
        args.push_back(t[i].text);
    }
    if (uid) return true;  // node identifiers are not modelled
    if (args.size() == 1 && current_) {
        const std::string was = fileNameOf(current_);
        scene_.rename(current_, str(args[0]));
        remember(current_, str(args[0]));
        (void)was;
        return true;
    }
    if (args.size() == 2) {
        Node* n = findNode(args[0]);
        if (!n) return fail(line, "no node \"" + str(args[0]) + "\" to rename");
        scene_.rename(n, str(args[1]));
        remember(n, str(args[1]));
        return true;
    }
    return fail(line, "rename needs a node and a name");
}

bool Loader::parentCommand(const std::vector<Token>& t) {
    const int line = t.front().line;
    bool add = false, world = false;
    std::vector<std::string_view> names;
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i].isWord("-add") || t[i].isWord("-addObject")) {
            add = true;
        } else if (t[i].isWord("-w") || t[i].isWord("-world")) {
            world = true;
        } else if (t[i].kind == Token::kWord && startsWith(t[i].text, "-")) {
        } else {
            names.push_back(t[i].text);
        }
    }
    if (names.empty() || (!world && names.size() < 2)) return fail(line, "parent needs a child and a parent");
    Node* parent = scene_.world();
    std::size_t childCount = names.size();
    if (!world) {
        parent = findNode(names.back());
        if (!parent) return fail(line, "no node \"" + str(names.back()) + "\" to parent under");
        --childCount;
    }
    for (std::size_t i = 0; i < childCount; ++i) {
        Node* child = findNode(names[i]);
        if (!child) return fail(line, "no node \"" + str(names[i]) + "\" to parent");
        if (!scene_.addChild(parent, child, kNoIndex, add))
            return fail(line, "cannot parent \"" + str(names[i]) + "\" under \"" + str(names.back()) + "\"");
    }
    return true;
}

bool Loader::currentUnit(const std::vector<Token>& t) {
    const int line = t.front().line;
    for (std::size_t i = 1; i + 1 < t.size(); i += 2) {
        const std::string_view flag = t[i].text;
        const std::string_view v = t[i + 1].text;
        if (flag == "-l" || flag == "-linear") {
            static const std::pair<const char*, double> lin[] = {
                {"mm", 0.1},   {"millimeter", 0.1}, {"cm", 1},        {"centimeter", 1},
                {"m", 100},    {"meter", 100},      {"km", 100000},   {"kilometer", 100000},
                {"in", 2.54},  {"inch", 2.54},      {"ft", 30.48},    {"foot", 30.48},
                {"yd", 91.44}, {"yard", 91.44},     {"mi", 160934.4}, {"mile", 160934.4}};
            bool ok = false;
            for (const auto& u : lin)
                if (v == u.first) {
                    units_.linear = u.second;
                    units_.linearName = str(v);
                    ok = true;
                }
            if (!ok) return fail(line, "unknown linear unit \"" + str(v) + "\"");
        } else if (flag == "-a" || flag == "-angle") {
            if (v == "deg" || v == "degree") {
                units_.angle = 3.14159265358979323846 / 180.0;
            } else if (v == "rad" || v == "radian") {
                units_.angle = 1.0;
            } else if (v == "min" || v == "angMinute") {
                units_.angle = 3.14159265358979323846 / 10800.0;
            } else if (v == "sec" || v == "angSecond") {
                units_.angle = 3.14159265358979323846 / 648000.0;
            } else {
                return fail(line, "unknown angle unit \"" + str(v) + "\"");
            }
            units_.angleName = str(v);
        } else if (flag == "-t" || flag == "-time") {
            static const std::pair<const char*, int> tu[] = {
                {"hour", MTime::kHours},      {"min", MTime::kMinutes},
                {"sec", MTime::kSeconds},     {"millisec", MTime::kMilliseconds},
                {"game", MTime::kGames},      {"film", MTime::kFilm},
                {"pal", MTime::kPALFrame},    {"ntsc", MTime::kNTSCFrame},
                {"show", MTime::kShowScan},   {"palf", MTime::kPALField},
                {"ntscf", MTime::kNTSCField}, {"2fps", MTime::k2FPS},
                {"3fps", MTime::k3FPS},       {"4fps", MTime::k4FPS},
                {"5fps", MTime::k5FPS},       {"6fps", MTime::k6FPS},
                {"8fps", MTime::k8FPS},       {"10fps", MTime::k10FPS},
                {"12fps", MTime::k12FPS},     {"16fps", MTime::k16FPS},
                {"20fps", MTime::k20FPS},     {"40fps", MTime::k40FPS},
                {"75fps", MTime::k75FPS},     {"80fps", MTime::k80FPS},
                {"100fps", MTime::k100FPS},   {"120fps", MTime::k120FPS},
                {"125fps", MTime::k125FPS},   {"150fps", MTime::k150FPS},
                {"200fps", MTime::k200FPS},   {"240fps", MTime::k240FPS},
                {"250fps", MTime::k250FPS},   {"300fps", MTime::k300FPS},
                {"375fps", MTime::k375FPS},   {"400fps", MTime::k400FPS},
                {"500fps", MTime::k500FPS},   {"600fps", MTime::k600FPS},
                {"750fps", MTime::k750FPS},   {"1200fps", MTime::k1200FPS},
                {"1500fps", MTime::k1500FPS}};
            bool ok = false;
            for (const auto& u : tu)
                if (v == u.first) {
                    units_.timeUnit = u.second;
                    units_.time = MTime(1.0, static_cast<MTime::Unit>(u.second)).as(MTime::kSeconds);
                    units_.timeName = str(v);
                    ok = true;
                }
            if (!ok || units_.time <= 0) return fail(line, "unknown time unit \"" + str(v) + "\"");
        } else {
            note(line, "currentUnit flag \"" + str(flag) + "\" ignored");
        }
    }
    return true;
}

}  // namespace ma
}  // namespace mayasim
