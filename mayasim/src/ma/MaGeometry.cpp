// Mesh and animation-curve values of scene files, and the construction history the stand-in evaluates.
#include <maya/MFnAnimCurve.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "../Bridge.h"
#include "../Component.h"
#include "../HostState.h"
#include "../Mesh.h"
#include "MaLoader.h"

namespace mayasim {
namespace ma {

namespace {

std::string str(std::string_view s) {
    return std::string(s.data(), s.size());
}

// Indices beyond this many times the values given are refused: a few values at a huge index would
// otherwise make the loader allocate for every index below it.
constexpr std::size_t kSparseFactor = 16;

template <class T, std::size_t N>
bool denseFrom(const std::vector<std::pair<unsigned, std::array<T, N>>>& pairs,
               std::vector<std::array<T, N>>& out, const std::array<T, N>& fill) {
    std::size_t n = 0;
    for (const auto& p : pairs) n = std::max<std::size_t>(n, static_cast<std::size_t>(p.first) + 1);
    if (n > kSparseFactor * pairs.size() + kSparseFactor) return false;
    out.assign(n, fill);
    for (const auto& p : pairs) out[p.first] = p.second;
    return true;
}

MFnAnimCurve::TangentType tangentFromFile(int code) {
    switch (code) {
        case 1:
            return MFnAnimCurve::kTangentFixed;
        case 2:
            return MFnAnimCurve::kTangentLinear;
        case 3:
            return MFnAnimCurve::kTangentFlat;
        case 4:
        case 9:
            return MFnAnimCurve::kTangentSmooth;
        case 5:
            return MFnAnimCurve::kTangentStep;
        case 6:
            return MFnAnimCurve::kTangentSlow;
        case 7:
            return MFnAnimCurve::kTangentFast;
        case 10:
            return MFnAnimCurve::kTangentClamped;
        case 11:
            return MFnAnimCurve::kTangentPlateau;
        case 17:
            return MFnAnimCurve::kTangentStepNext;
        case 18:
            return MFnAnimCurve::kTangentAuto;
        default:
            return MFnAnimCurve::kTangentGlobal;
    }
}

// A number the file stored on the node (connections are not followed: the loader evaluates nothing,
// so that a cycle the file makes cannot recurse here).
double numberAt(const Scene& s, const Node* n, const char* name, double fallback) {
    const Attribute* a = n->type->findAttribute(name);
    const Slot* slot = a ? s.findSlot(n->plug(a)) : nullptr;
    if (slot && slot->hasValue && !slot->other) return slot->number;
    return fallback;
}

// UV or colour sets one mesh may have; more would let a small file claim memory for every set times
// every face corner.
constexpr std::size_t kMaxSets = 64;

}  // namespace

// ---- Values of meshes ----
bool Loader::meshAttr(Node* n, const std::vector<PathPart>& parts, std::string_view typeName,
                      const std::vector<Token>& v, int line, bool& handled) {
    MeshBuild& m = meshes_[n];
    const std::string_view a = parts[0].name;
    const PartIndex idx = parts[0].index;
    handled = true;
    // Elements of `per` values each from idx.lo on; a range must be filled exactly.
    auto elements = [&](std::size_t per, std::size_t& count) {
        count = 0;
        if (v.empty()) return true;
        if (v.size() % per != 0)
            return fail(line, "values of \"" + str(a) + "\" do not come in groups of " + std::to_string(per));
        count = v.size() / per;
        if (idx.kind == PartIndex::kOne || idx.kind == PartIndex::kRange) {
            if (count != static_cast<std::size_t>(idx.hi) - idx.lo + 1)
                return fail(line, std::to_string(count) + " values given for " +
                                      std::to_string(static_cast<std::size_t>(idx.hi) - idx.lo + 1) +
                                      " elements of \"" + str(a) + "\"");
        }
        return true;
    };
    auto readPoints = [&](std::vector<std::pair<unsigned, std::array<double, 3>>>& out) {
        std::size_t count = 0;
        if (!elements(3, count)) return false;
        for (std::size_t k = 0; k < count; ++k) {
            std::array<double, 3> p{};
            for (std::size_t c = 0; c < 3; ++c) {
                if (!number(v[3 * k + c], p[c])) return fail(line, "expected a number in \"" + str(a) + "\"");
                p[c] *= units_.linear;
            }
            out.emplace_back(idx.lo + static_cast<unsigned>(k), p);
        }
        return true;
    };
    if ((a == "vt" || a == "vrts" || a == "pt" || a == "pnts") && parts.size() == 1)
        return readPoints(a == "vt" || a == "vrts" ? m.vt : m.pt);
    if ((a == "ed" || a == "edge") && parts.size() == 1) {
        std::size_t count = 0;
        if (!elements(3, count)) return false;
        for (std::size_t k = 0; k < count; ++k) {
            std::array<int, 3> e{};
            for (std::size_t c = 0; c < 3; ++c) {
                long long x = 0;
                if (!integer(v[3 * k + c], x) || x < 0 || x > 0x7FFFFFFF)
                    return fail(line, "expected a vertex index in \"" + str(a) + "\"");
                e[c] = static_cast<int>(x);
            }
            m.ed.emplace_back(idx.lo + static_cast<unsigned>(k), e);
        }
        return true;
    }
    if ((a == "fc" || a == "face") && parts.size() == 1) {
        if (!typeName.empty() && typeName != "polyFaces")
            return fail(line, "faces must be of type polyFaces, not " + str(typeName));
        return polyFaces(m, idx, v, 0, line);
    }
    if ((a == "n" || a == "normals") && parts.size() == 1) {
        count("user normals not kept (the stand-in computes normals)");
        return true;
    }
    const unsigned set = idx.kind == PartIndex::kOne ? idx.lo : 0;
    if (((a == "uvst" || a == "uvSet") && !m.uvSets.count(set) && m.uvSets.size() >= kMaxSets) ||
        ((a == "clst" || a == "colorSet") && !m.colorSets.count(set) && m.colorSets.size() >= kMaxSets))
        return fail(line, "more than " + std::to_string(kMaxSets) + " UV or colour sets");
    if ((a == "uvst" || a == "uvSet") && idx.kind != PartIndex::kRange) {
        if (parts.size() == 1) return true;  // a size
        const std::string_view c = parts[1].name;
        if (parts.size() == 2 && (c == "uvsn" || c == "uvSetName")) {
            if (v.size() != 1) return fail(line, "a UV set name is one string");
            m.uvSets[set].name = str(v[0].text);
            return true;
        }
        if (parts.size() == 2 && (c == "uvsp" || c == "uvSetPoints")) {
            const PartIndex pidx = parts[1].index;
            if (v.size() % 2 != 0) return fail(line, "UV values do not come in pairs");
            const std::size_t count = v.size() / 2;
            if ((pidx.kind == PartIndex::kOne || pidx.kind == PartIndex::kRange) &&
                count != static_cast<std::size_t>(pidx.hi) - pidx.lo + 1)
                return fail(line, "UV value count differs from the index range");
            auto& uv = m.uvSets[set].uv;
            for (std::size_t k = 0; k < count; ++k) {
                double u = 0, w = 0;
                if (!number(v[2 * k], u) || !number(v[2 * k + 1], w))
                    return fail(line, "expected UV numbers");
                uv.emplace_back(pidx.lo + static_cast<unsigned>(k),
                                std::array<float, 2>{static_cast<float>(u), static_cast<float>(w)});
            }
            return true;
        }
        handled = false;
        return true;
    }
    if ((a == "clst" || a == "colorSet") && idx.kind != PartIndex::kRange) {
        if (parts.size() == 1) return true;
        const std::string_view c = parts[1].name;
        MeshBuild::Colors& cs = m.colorSets[set];
        if (parts.size() == 2 && (c == "clsn" || c == "colorName")) {
            if (v.size() != 1) return fail(line, "a colour set name is one string");
            cs.name = str(v[0].text);
            return true;
        }
        if (parts.size() == 2 && (c == "rprt" || c == "representation" || c == "clam" || c == "clamped")) {
            long long x = 0;
            if (v.size() != 1 || !integer(v[0], x)) return fail(line, "expected one number");
            if (c == "clam" || c == "clamped")
                cs.clamped = x != 0;
            else if (x == 1 || x == 3 || x == 4)
                cs.representation = static_cast<int>(x);
            else
                return fail(line, "unknown colour representation " + std::to_string(x));
            return true;
        }
        if (parts.size() == 2 && (c == "clsp" || c == "colorSetPoints")) {
            const PartIndex pidx = parts[1].index;
            const std::size_t per = cs.representation == 1 ? 1 : static_cast<std::size_t>(cs.representation);
            if (v.size() % per != 0)
                return fail(line, "colour values do not come in groups of " + std::to_string(per));
            const std::size_t count = v.size() / per;
            if ((pidx.kind == PartIndex::kOne || pidx.kind == PartIndex::kRange) &&
                count != static_cast<std::size_t>(pidx.hi) - pidx.lo + 1)
                return fail(line, "colour value count differs from the index range");
            for (std::size_t k = 0; k < count; ++k) {
                std::array<double, 4> col{0, 0, 0, 1};
                for (std::size_t q = 0; q < per; ++q)
                    if (!number(v[per * k + q], col[per == 1 ? 3 : q]))
                        return fail(line, "expected colour numbers");
                cs.colors.emplace_back(
                    pidx.lo + static_cast<unsigned>(k),
                    std::array<float, 4>{static_cast<float>(col[0]), static_cast<float>(col[1]),
                                         static_cast<float>(col[2]), static_cast<float>(col[3])});
            }
            return true;
        }
        handled = false;
        return true;
    }
    if ((a == "cuvs" || a == "currentUVSet" || a == "ccls" || a == "currentColorSet") && parts.size() == 1) {
        if (v.size() != 1) return fail(line, "a set name is one string");
        if (a == "cuvs" || a == "currentUVSet") {
            m.currentUV = str(v[0].text);
            m.hasCurrentUV = true;
        } else {
            m.currentColor = str(v[0].text);
            m.hasCurrentColor = true;
        }
        return true;
    }
    handled = false;
    return true;
}

// "f N edges" starts a face, "h N edges" a hole in it, "mu set N uvs" and "mc set N colours" give the
// last loop's UV and colour ids, "fc N ids" face colours of old files.
bool Loader::polyFaces(MeshBuild& m, const PartIndex& range, const std::vector<Token>& v, std::size_t at,
                       int line) {
    const bool ranged = range.kind == PartIndex::kOne || range.kind == PartIndex::kRange;
    if (ranged && range.lo != m.faceCounts.size())
        return fail(line, "faces must follow one another (face " + std::to_string(m.faceCounts.size()) +
                              " expected, " + std::to_string(range.lo) + " given)");
    m.hasFaces = true;
    std::size_t added = 0;
    bool lastIsHole = false;
    auto readInt = [&](long long& x, long long lo, long long hi) {
        if (at >= v.size() || !integer(v[at], x) || x < lo || x > hi) return false;
        ++at;
        return true;
    };
    while (at < v.size()) {
        const std::string_view tag = v[at++].text;
        long long count = 0;
        if (tag == "f" || tag == "h") {
            if (!readInt(count, 1, static_cast<long long>(v.size() - at)))
                return fail(line, "bad corner count in polyFaces");
            if (tag == "f") {
                m.faceCounts.push_back(static_cast<int>(count));
                for (long long k = 0; k < count; ++k) {
                    long long e = 0;
                    if (!readInt(e, -0x7FFFFFFFLL, 0x7FFFFFFFLL))
                        return fail(line, "bad edge index in polyFaces");
                    m.faceEdges.push_back(static_cast<int>(e));
                }
                ++added;
                lastIsHole = false;
            } else {
                if (m.faceCounts.empty()) return fail(line, "a hole before any face");
                at += static_cast<std::size_t>(count);
                m.holes = true;
                lastIsHole = true;
            }
        } else if (tag == "mu" || tag == "mc") {
            long long set = 0;
            if (!readInt(set, 0, 0xFFFF)) return fail(line, "bad set index in polyFaces");
            if (!readInt(count, 0, static_cast<long long>(v.size() - at)))
                return fail(line, "bad count in polyFaces");
            if (m.faceCounts.empty()) return fail(line, "\"" + str(tag) + "\" before any face");
            const std::size_t sets = tag == "mu" ? m.uvSets.size() : m.colorSets.size();
            const bool known = tag == "mu" ? m.uvSets.count(static_cast<unsigned>(set)) != 0
                                           : m.colorSets.count(static_cast<unsigned>(set)) != 0;
            if (!known && sets >= kMaxSets)
                return fail(line, "more than " + std::to_string(kMaxSets) + " UV or colour sets");
            const std::size_t corners = m.faceEdges.size();
            const int faceSize = m.faceCounts.back();
            if (!lastIsHole && count != faceSize)
                return fail(line, "\"" + str(tag) + "\" gives " + std::to_string(count) +
                                      " ids for a face of " + std::to_string(faceSize) + " corners");
            std::vector<int>& ids = tag == "mu" ? m.uvSets[static_cast<unsigned>(set)].ids
                                                : m.colorSets[static_cast<unsigned>(set)].ids;
            if (!lastIsHole) ids.resize(corners, -1);
            for (long long k = 0; k < count; ++k) {
                long long id = 0;
                if (!readInt(id, -1, 0x7FFFFFFF)) return fail(line, "bad id in polyFaces");
                if (!lastIsHole)
                    ids[corners - static_cast<std::size_t>(faceSize) + static_cast<std::size_t>(k)] =
                        static_cast<int>(id);
            }
        } else if (tag == "fc") {
            if (!readInt(count, 0, static_cast<long long>(v.size() - at)))
                return fail(line, "bad count in polyFaces");
            at += static_cast<std::size_t>(count);
        } else {
            return fail(line, "unknown polyFaces entry \"" + str(tag) + "\"");
        }
    }
    if (ranged && added != static_cast<std::size_t>(range.hi) - range.lo + 1)
        return fail(line, std::to_string(added) + " faces given for " +
                              std::to_string(static_cast<std::size_t>(range.hi) - range.lo + 1) +
                              " face indices");
    return true;
}

// ---- Component lists ("f[0:3]", "vtx[*]", "e[2]") ----
bool Loader::components(const std::vector<Token>& v, std::size_t at, std::size_t n, ObjectPtr& out,
                        int line) {
    // Elements listed one by one are held in memory; a lone range from 0 is held as a count.
    constexpr std::size_t kMaxListed = std::size_t(1) << 21;
    std::size_t listed = 0;
    std::shared_ptr<Component> c;
    for (std::size_t k = 0; k < n; ++k) {
        const std::string_view s = v[at + k].text;
        const std::size_t open = s.find('[');
        if (open == std::string_view::npos || s.back() != ']')
            return fail(line, "bad component \"" + str(s) + "\"");
        const std::string_view kind = s.substr(0, open);
        MFn::Type type = kind == "f"     ? MFn::kMeshPolygonComponent
                         : kind == "vtx" ? MFn::kMeshVertComponent
                         : kind == "e"   ? MFn::kMeshEdgeComponent
                                         : MFn::kInvalid;
        if (type == MFn::kInvalid) {
            count("component lists of kinds other than faces, vertices and edges not kept");
            return true;
        }
        if (!c) c = std::make_shared<Component>(type);
        if (c->kind != type) return fail(line, "mixed component kinds in one list");
        std::vector<PathPart> parts;
        std::string why;
        if (!parsePlugPath(s, parts, why) || parts.size() != 1)
            return fail(line, "bad component \"" + str(s) + "\"");
        const PartIndex& i = parts[0].index;
        if (i.kind == PartIndex::kAll) {
            c->complete = true;
        } else if (n == 1 && i.kind == PartIndex::kRange && i.lo == 0 && i.hi < 0x7FFFFFFF) {
            c->complete = true;
            c->completeCount = static_cast<int>(i.hi) + 1;
        } else if (i.kind == PartIndex::kOne || i.kind == PartIndex::kRange) {
            listed += static_cast<std::size_t>(i.hi) - i.lo + 1;
            if (listed > kMaxListed || i.hi > 0x7FFFFFFE)
                return fail(line,
                            "component list names more than " + std::to_string(kMaxListed) + " elements");
            for (unsigned e = i.lo;; ++e) {
                c->add(static_cast<int>(e));
                if (e == i.hi) break;
            }
        }
    }
    out = c;
    return true;
}

// ---- Building meshes ----
bool Loader::finishMeshes() {
    for (Node* n : meshOrder_) {
        MeshBuild& m = meshes_[n];
        if (!m.built && !buildMesh(n, m)) return false;
    }
    return true;
}

bool Loader::buildMesh(Node* n, MeshBuild& m) {
    MeshData* d = meshData(n);
    if (!d) return true;
    m.building = true;
    const bool explicitGeometry = !m.vt.empty() || m.hasFaces;
    const std::string name = fileNameOf(n);
    auto failMesh = [&](const std::string& what) { return fail(m.line, "mesh \"" + name + "\": " + what); };
    if (explicitGeometry) {
        std::vector<std::array<double, 3>> points;
        if (!denseFrom(m.vt, points, {0, 0, 0}))
            return failMesh("vertex indices far beyond the vertices given");
        std::vector<std::array<int, 3>> edges;
        if (!denseFrom(m.ed, edges, {0, 0, 0})) return failMesh("edge indices far beyond the edges given");
        std::vector<int> connects;
        connects.reserve(m.faceEdges.size());
        std::vector<int> cornerEdges;
        cornerEdges.reserve(m.faceEdges.size());
        std::size_t at = 0;
        for (int count : m.faceCounts) {
            if (count < 3) return failMesh("a face has fewer than three corners");
            for (int k = 0; k < count; ++k) {
                const int e = m.faceEdges[at++];
                const long long index = e >= 0 ? e : -static_cast<long long>(e) - 1;
                if (index >= static_cast<long long>(edges.size()))
                    return failMesh("a face uses a missing edge");
                const auto& edge = edges[static_cast<std::size_t>(index)];
                const int vertex = e >= 0 ? edge[0] : edge[1];
                if (vertex < 0 || static_cast<std::size_t>(vertex) >= points.size())
                    return failMesh("an edge uses a missing vertex");
                connects.push_back(vertex);
                cornerEdges.push_back(static_cast<int>(index));
            }
        }
        for (const auto& e : edges)
            if (static_cast<std::size_t>(e[0]) >= points.size() ||
                static_cast<std::size_t>(e[1]) >= points.size())
                return failMesh("an edge uses a missing vertex");
        // The file numbers the edges itself, so the geometry is set directly rather than through
        // setGeometry, which would number them again.
        d->points = std::move(points);
        d->counts = m.faceCounts;
        d->connects = std::move(connects);
        d->offsets.assign(d->counts.size(), 0);
        int offset = 0;
        for (std::size_t p = 0; p < d->counts.size(); ++p) {
            d->offsets[p] = offset;
            offset += d->counts[p];
        }
        for (auto& s : d->uvSets) s.ids.assign(d->connects.size(), -1);
        for (auto& s : d->colorSets) s.ids.assign(d->connects.size(), -1);
        d->edges.clear();
        d->smooth.clear();
        d->edges.reserve(edges.size());
        d->smooth.reserve(edges.size());
        for (const auto& e : edges) {
            d->edges.push_back({e[0], e[1]});
            d->smooth.push_back(e[2] != 0 ? 1 : 0);
        }
        d->cornerEdges = std::move(cornerEdges);
        if (m.holes) count("holes in faces dropped (the stand-in's meshes have none)");
    } else if (!evaluateHistory(n, m)) {
        return false;
    }
    // UV and colour sets the file lists for this shape.
    bool uvPoints = false, colorPoints = false;
    for (const auto& u : m.uvSets) uvPoints = uvPoints || !u.second.uv.empty() || !u.second.ids.empty();
    for (const auto& c : m.colorSets)
        colorPoints = colorPoints || !c.second.colors.empty() || !c.second.ids.empty();
    const std::size_t corners = d->connects.size();
    if (explicitGeometry || uvPoints) {
        if (!m.uvSets.empty()) d->uvSets.clear();
        for (auto& e : m.uvSets) {
            UVSetData s;
            s.name = e.second.name.empty() ? (e.first == 0 ? "map1" : "uvSet" + std::to_string(e.first))
                                           : e.second.name;
            s.logical = e.first;
            std::vector<std::array<float, 2>> uv;
            if (!denseFrom(e.second.uv, uv, {0, 0})) return failMesh("UV indices far beyond the UVs given");
            for (const auto& p : uv) {
                s.u.push_back(p[0]);
                s.v.push_back(p[1]);
            }
            s.ids = e.second.ids;
            s.ids.resize(corners, -1);
            for (int id : s.ids)
                if (id >= static_cast<int>(s.u.size())) return failMesh("a face uses a missing UV");
            d->uvSets.push_back(std::move(s));
        }
        if (d->uvSets.empty()) {
            UVSetData map1;
            map1.name = "map1";
            map1.ids.assign(corners, -1);
            d->uvSets.push_back(map1);
        }
        d->currentUV = d->uvSets.front().name;
    } else {
        // Sets the shape names without values: the names of the sets it takes from its input, or
        // empty sets of its own.
        for (auto& e : m.uvSets) {
            auto same = std::find_if(d->uvSets.begin(), d->uvSets.end(),
                                     [&](const UVSetData& s) { return s.logical == e.first; });
            if (same != d->uvSets.end()) {
                if (!e.second.name.empty()) same->name = e.second.name;
                continue;
            }
            UVSetData s;
            s.name = e.second.name.empty() ? "uvSet" + std::to_string(e.first) : e.second.name;
            s.logical = e.first;
            s.ids.assign(corners, -1);
            d->uvSets.push_back(std::move(s));
        }
    }
    if (m.hasCurrentUV && d->uvSet(m.currentUV)) d->currentUV = m.currentUV;
    if (explicitGeometry || colorPoints) {
        if (!m.colorSets.empty()) d->colorSets.clear();
        for (auto& e : m.colorSets) {
            ColorSetData s;
            s.name = e.second.name.empty() ? "colorSet" + std::to_string(e.first + 1) : e.second.name;
            s.logical = e.first;
            if (!denseFrom(e.second.colors, s.colors, {0, 0, 0, 1}))
                return failMesh("colour indices far beyond the colours given");
            s.ids = e.second.ids;
            s.ids.resize(corners, -1);
            for (int id : s.ids)
                if (id >= static_cast<int>(s.colors.size())) return failMesh("a face uses a missing colour");
            d->colorSets.push_back(std::move(s));
        }
    }
    if (m.hasCurrentColor) d->currentColor = d->colorSet(m.currentColor) ? m.currentColor : std::string();
    syncSetPlugs(n);
    for (const ColorSetData& s : d->colorSets) {
        auto it = m.colorSets.find(s.logical);
        if (it == m.colorSets.end()) continue;
        PlugRef el = n->plug("colorSet").element(s.logical);
        scene_.write(el.child(n->type->findAttribute("representation")),
                     static_cast<double>(it->second.representation));
        scene_.write(el.child(n->type->findAttribute("clamped")), it->second.clamped ? 1.0 : 0.0);
    }
    // Tweaks stay in the shape's "pnts" plugs, which move the points it has (stored, from its history or
    // arriving through deformers) when they are read.
    const Attribute* pnts = n->type->findAttribute("pnts");
    for (const auto& t : m.pt) {
        if (!pnts || pnts->children.size() != 3) {
            if (t.first < d->points.size())
                for (std::size_t c = 0; c < 3; ++c) d->points[t.first][c] += t.second[c];
            continue;
        }
        PlugRef el = n->plug(pnts).element(t.first);
        for (std::size_t c = 0; c < 3; ++c) scene_.write(el.child(pnts->children[c].get()), t.second[c]);
    }
    m.building = false;
    m.built = true;
    return true;
}

// A shape without stored geometry takes it from its input: through deformers and pass-through nodes up
// to a mesh or a generator the stand-in evaluates.
bool Loader::evaluateHistory(Node* n, MeshBuild&) {
    MeshData* d = meshData(n);
    PlugRef src;
    const std::string name = fileNameOf(n);
    if (!scene_.sourceOf(n->plug("inMesh"), src)) {
        if (numberAt(scene_, n, "intermediateObject", 0) == 0)
            report_.notEvaluated.push_back("mesh \"" + name + "\": no geometry stored and no input");
        return true;
    }
    std::vector<std::string> passed;
    for (int guard = 0; guard < 256; ++guard) {
        Node* at = src.node;
        if (at->type->isA("mesh")) {
            auto it = meshes_.find(at);
            if (it != meshes_.end() && !it->second.built) {
                if (historyDepth_ >= kMaxHistoryDepth) {
                    report_.notEvaluated.push_back("mesh \"" + name + "\": history of meshes too deep");
                    return true;
                }
                if (it->second.building) {
                    report_.notEvaluated.push_back("mesh \"" + name + "\": its history is a cycle");
                    return true;
                }
                ++historyDepth_;
                const bool built = buildMesh(at, it->second);
                --historyDepth_;
                if (!built) return false;
            }
            if (MeshData* from = meshData(at)) {
                d->points = from->points;
                d->counts = from->counts;
                d->offsets = from->offsets;
                d->connects = from->connects;
                d->edges = from->edges;
                d->smooth = from->smooth;
                d->cornerEdges = from->cornerEdges;
                d->uvSets = from->uvSets;
                d->currentUV = from->currentUV;
                d->colorSets = from->colorSets;
                d->currentColor = from->currentColor;
            }
            for (const std::string& p : passed)
                report_.notEvaluated.push_back("mesh \"" + name + "\": " + p +
                                               " passed the geometry through unchanged");
            return true;
        }
        const std::string& typeName = at->type->name;
        if (typeName == "polyCube" || typeName == "polyPlane") {
            if (!generate(at, n))
                report_.notEvaluated.push_back("mesh \"" + name + "\": " + typeName + " \"" + fileNameOf(at) +
                                               "\" with options the stand-in does not evaluate; no points");
            for (const std::string& p : passed)
                report_.notEvaluated.push_back("mesh \"" + name + "\": " + p +
                                               " passed the geometry through unchanged");
            return true;
        }
        // The node's geometry input: "input[k].inputGeometry" of deformers (k of the output used),
        // "inputGeometry" of groupParts, "inputPolymesh" of poly operations, "inMesh".
        PlugRef next;
        bool found = false;
        for (const Connection& c : at->connections) {
            if (!c.localIsDestination) continue;
            const Attribute* a = c.local.attr;
            const bool geometry = a->longName == "inputGeometry" || a->shortName == "ig" ||
                                  a->longName == "inputPolymesh" || a->longName == "inMesh" ||
                                  (a->shortName == "ip" && a->type != AttrType::kCompound);
            if (!geometry) continue;
            bool matches = true;
            if (a->parent && a->parent->array && src.isElement())
                matches = c.local.index[static_cast<std::size_t>(a->parent->depth)] ==
                          src.index[static_cast<std::size_t>(src.attr->depth)];
            if (!found || matches) {
                next = c.remote;
                found = true;
                if (matches) break;
            }
        }
        if (!found) {
            report_.notEvaluated.push_back("mesh \"" + name + "\": construction history " + typeName + " \"" +
                                           fileNameOf(at) + "\" not evaluated; no points");
            return true;
        }
        const bool deformer =
            at->type->isA("geometryFilter") || typeName == "tweak" || typeName == "groupParts";
        if (!deformer) passed.push_back(typeName + " \"" + fileNameOf(at) + "\"");
        src = next;
    }
    report_.notEvaluated.push_back("mesh \"" + name + "\": history too long");
    return true;
}

// polyCube (depth subdivisions 1) and polyPlane, with the vertex, face, edge and UV order Maya gives.
bool Loader::generate(Node* g, Node* mesh) {
    MeshData* d = meshData(mesh);
    const double lin = units_.linear;
    auto subdiv = [&](const char* name, double def, int& out) {
        const double x = numberAt(scene_, g, name, def);
        if (x < 1 || x > 1000 || x != std::floor(x)) return false;
        out = static_cast<int>(x);
        return true;
    };
    const Attribute* axis = g->type->findAttribute("ax");
    if (axis && scene_.findSlot(g->plug(axis))) return false;  // another axis than +Y
    std::vector<std::array<double, 3>> pts;
    std::vector<int> counts, connects, uvIds, cornerEdge;
    std::vector<std::array<int, 3>> edges;  // v0 v1 smooth
    std::vector<float> us, vs;
    if (g->type->name == "polyCube") {
        int sx = 1, sy = 1, sz = 1;
        if (!subdiv("sw", 1, sx) || !subdiv("sh", 1, sy) || !subdiv("sd", 1, sz) || sz != 1) return false;
        const double w = numberAt(scene_, g, "w", 1) * lin, h = numberAt(scene_, g, "h", 1) * lin,
                     dd = numberAt(scene_, g, "d", 1) * lin;
        const int R = 2 * (sy + sz);  // rows of the ring around front, top, back and bottom
        const int cols = sx + 1;
        auto ringYZ = [&](int r, double& y, double& z) {
            if (r <= sy) {
                y = -h / 2 + h * r / sy;
                z = dd / 2;
            } else if (r <= sy + sz) {
                y = h / 2;
                z = dd / 2 - dd * (r - sy) / sz;
            } else if (r <= 2 * sy + sz) {
                y = h / 2 - h * (r - sy - sz) / sy;
                z = -dd / 2;
            } else {
                y = -h / 2;
                z = -dd / 2 + dd * (r - 2 * sy - sz) / sz;
            }
        };
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < cols; ++c) {
                double y = 0, z = 0;
                ringYZ(r, y, z);
                pts.push_back({-w / 2 + w * c / sx, y, z});
            }
        auto vtx = [&](int r, int c) { return (r % R) * cols + c; };
        auto back = [&](int j) { return (2 * sy + sz - j) % R; };  // ring row of the back at height j
        // UVs: the ring unfolded from v 0 to 1, then the right and left sides.
        auto ringV = [&](int r) {
            if (r <= sy) return 0.25 * r / sy;
            if (r <= sy + sz) return 0.25 + 0.25 * (r - sy) / sz;
            if (r <= 2 * sy + sz) return 0.5 + 0.25 * (r - sy - sz) / sy;
            return 0.75 + 0.25 * (r - 2 * sy - sz) / sz;
        };
        for (int r = 0; r <= R; ++r)
            for (int c = 0; c < cols; ++c) {
                us.push_back(static_cast<float>(0.375 + 0.25 * c / sx));
                vs.push_back(static_cast<float>(ringV(r)));
            }
        const int right0 = static_cast<int>(us.size());
        for (int j = 0; j <= sy; ++j) {
            us.push_back(0.875f);
            vs.push_back(static_cast<float>(0.25 * j / sy));
        }
        const int left0 = static_cast<int>(us.size());
        for (int j = 0; j <= sy; ++j) {
            us.push_back(0.125f);
            vs.push_back(static_cast<float>(0.25 * j / sy));
        }
        auto face = [&](std::array<int, 4> v, std::array<int, 4> uv) {
            counts.push_back(4);
            connects.insert(connects.end(), v.begin(), v.end());
            uvIds.insert(uvIds.end(), uv.begin(), uv.end());
        };
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < sx; ++c)
                face({vtx(r, c), vtx(r, c + 1), vtx(r + 1, c + 1), vtx(r + 1, c)},
                     {r * cols + c, r * cols + c + 1, (r + 1) * cols + c + 1, (r + 1) * cols + c});
        for (int j = 0; j < sy; ++j)
            face({vtx(j, sx), vtx(back(j), sx), vtx(back(j + 1), sx), vtx(j + 1, sx)},
                 {j * cols + sx, right0 + j, right0 + j + 1, (j + 1) * cols + sx});
        for (int j = 0; j < sy; ++j)
            face({vtx(back(j), 0), vtx(j, 0), vtx(j + 1, 0), vtx(back(j + 1), 0)},
                 {left0 + j, j * cols, (j + 1) * cols, left0 + j + 1});
        // Edges: along x row by row, then around the ring, then inside the right and left sides.
        auto cubeRow = [&](int r) { return r == 0 || r == sy || r == sy + sz || r == 2 * sy + sz; };
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < sx; ++c) edges.push_back({vtx(r, c), vtx(r, c + 1), cubeRow(r) ? 0 : 1});
        for (int r = 0; r < R; ++r)
            for (int c = 0; c < cols; ++c)
                edges.push_back({vtx(r, c), vtx(r + 1, c), c == 0 || c == sx ? 0 : 1});
        for (int j = 1; j < sy; ++j) edges.push_back({vtx(back(j), sx), vtx(j, sx), 1});
        for (int j = 1; j < sy; ++j) edges.push_back({vtx(back(j), 0), vtx(j, 0), 1});
    } else {
        int sx = 10, sy = 10;
        if (!subdiv("sw", 10, sx) || !subdiv("sh", 10, sy)) return false;
        const double w = numberAt(scene_, g, "w", 1) * lin, h = numberAt(scene_, g, "h", 1) * lin;
        const int cols = sx + 1;
        for (int r = 0; r <= sy; ++r)
            for (int c = 0; c <= sx; ++c) {
                pts.push_back({-w / 2 + w * c / sx, 0.0, h / 2 - h * r / sy});
                us.push_back(static_cast<float>(static_cast<double>(c) / sx));
                vs.push_back(static_cast<float>(static_cast<double>(r) / sy));
            }
        for (int r = 0; r < sy; ++r)
            for (int c = 0; c < sx; ++c) {
                const std::array<int, 4> v = {r * cols + c, r * cols + c + 1, (r + 1) * cols + c + 1,
                                              (r + 1) * cols + c};
                counts.push_back(4);
                connects.insert(connects.end(), v.begin(), v.end());
                uvIds.insert(uvIds.end(), v.begin(), v.end());
            }
    }
    d->setGeometry(std::move(pts), counts, connects);
    if (!edges.empty()) {
        std::unordered_map<unsigned long long, int> byPair;
        d->edges.clear();
        d->smooth.clear();
        for (const auto& e : edges) {
            const auto lo = static_cast<unsigned long long>(std::min(e[0], e[1]));
            const auto hi = static_cast<unsigned long long>(std::max(e[0], e[1]));
            byPair[(lo << 32) | hi] = static_cast<int>(d->edges.size());
            d->edges.push_back({e[0], e[1]});
            d->smooth.push_back(static_cast<char>(e[2]));
        }
        for (std::size_t p = 0; p < d->counts.size(); ++p)
            for (int k = 0; k < d->counts[p]; ++k) {
                const int a = d->connects[static_cast<std::size_t>(d->offsets[p] + k)];
                const int b = d->connects[static_cast<std::size_t>(d->offsets[p] + (k + 1) % d->counts[p])];
                const auto lo = static_cast<unsigned long long>(std::min(a, b));
                const auto hi = static_cast<unsigned long long>(std::max(a, b));
                d->cornerEdges[static_cast<std::size_t>(d->offsets[p] + k)] = byPair[(lo << 32) | hi];
            }
    } else {
        // A plane: inner edges smooth, its border hard.
        for (std::size_t e = 0; e < d->edges.size(); ++e) d->smooth[e] = 1;
        std::vector<int> uses(d->edges.size(), 0);
        for (int e : d->cornerEdges) ++uses[static_cast<std::size_t>(e)];
        for (std::size_t e = 0; e < d->edges.size(); ++e)
            if (uses[e] < 2) d->smooth[e] = 0;
    }
    d->uvSets.clear();
    UVSetData map1;
    map1.name = "map1";
    map1.u = std::move(us);
    map1.v = std::move(vs);
    map1.ids = std::move(uvIds);
    d->uvSets.push_back(std::move(map1));
    d->currentUV = "map1";
    d->colorSets.clear();
    d->currentColor.clear();
    return true;
}

// ---- Animation curves ----
bool Loader::curveAttr(Node* n, const std::vector<PathPart>& parts, const std::vector<Token>& v, int line,
                       bool& handled) {
    handled = false;
    if (parts.size() != 1) return true;
    const std::string_view a = parts[0].name;
    const PartIndex idx = parts[0].index;
    CurveBuild& c = curves_[n];
    const std::size_t span = static_cast<std::size_t>(idx.hi) - idx.lo + 1;
    if (a == "ktv" || a == "keyTimeValue") {
        handled = true;
        if (v.empty()) return true;
        if (v.size() % 2 != 0 || (idx.kind != PartIndex::kNone && v.size() / 2 != span))
            return fail(line, "key times and values do not match the key range");
        for (std::size_t k = 0; k < v.size() / 2; ++k) {
            std::array<double, 2> kv{};
            if (!number(v[2 * k], kv[0]) || !number(v[2 * k + 1], kv[1]))
                return fail(line, "expected key times and values");
            c.keys.emplace_back(idx.lo + static_cast<unsigned>(k), kv);
        }
        return true;
    }
    if (a == "kit" || a == "kot" || a == "keyTanInType" || a == "keyTanOutType") {
        handled = true;
        if (idx.kind != PartIndex::kNone && !v.empty() && v.size() != span)
            return fail(line, "tangent types do not match the key range");
        auto& into = (a == "kit" || a == "keyTanInType") ? c.inTangents : c.outTangents;
        for (std::size_t k = 0; k < v.size(); ++k) {
            long long x = 0;
            if (!integer(v[k], x)) return fail(line, "expected a tangent type");
            into[idx.lo + static_cast<unsigned>(k)] = static_cast<int>(x);
        }
        return true;
    }
    return true;
}

void Loader::finishCurves() {
    for (Node* n : curveOrder_) {
        CurveBuild& c = curves_[n];
        std::sort(c.keys.begin(), c.keys.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        MFnAnimCurve fn(wrapNode(n));
        const int def = static_cast<int>(numberAt(scene_, n, "tangentType", 0));
        const std::string& type = n->type->name;
        const char out = type.size() == 11 ? type[10] : 'U';
        const bool timeInput = type.size() == 11 && type[9] == 'T';
        for (const auto& k : c.keys) {
            auto in = c.inTangents.find(k.first), ot = c.outTangents.find(k.first);
            const auto tin = tangentFromFile(in != c.inTangents.end() ? in->second : def);
            const auto tout = tangentFromFile(ot != c.outTangents.end() ? ot->second : def);
            double value = k.second[1];
            if (out == 'L') value *= units_.linear;
            if (out == 'A') value *= units_.angle;
            if (timeInput)
                fn.addKey(MTime(k.second[0], static_cast<MTime::Unit>(units_.timeUnit)), value, tin, tout);
            else
                fn.addKey(k.second[0], value, tin, tout);
        }
    }
}

// ---- Time ----
void Loader::finishTime() {
    TimeState& t = host().time;
    t.uiUnit = units_.timeUnit;
    if (Node* time1 = findNode("time1")) {
        const Slot* s = scene_.findSlot(time1->plug("outTime"));
        if (s && s->hasValue && !s->other) t.current = s->number;
    }
    // The playback range Maya's scene-configuration script sets on open.
    if (Node* config = findNode("sceneConfigurationScriptNode")) {
        const Attribute* b = config->type->findAttribute("b");
        const Slot* s = b ? scene_.findSlot(config->plug(b)) : nullptr;
        if (s && s->hasValue && s->other && std::holds_alternative<std::string>(*s->other)) {
            const std::string script = std::get<std::string>(*s->other) + ";";
            Tokenizer tok(script);
            std::vector<Token> words;
            std::string error;
            if (tok.next(words, error)) {
                for (std::size_t i = 0; i + 1 < words.size(); ++i) {
                    double f = 0;
                    if (!number(words[i + 1], f)) continue;
                    const std::string_view flag = words[i].text;
                    if (flag == "-min" || flag == "-minTime") t.minTime = f * units_.time;
                    if (flag == "-max" || flag == "-maxTime") t.maxTime = f * units_.time;
                    if (flag == "-ast" || flag == "-animationStartTime") t.animationStart = f * units_.time;
                    if (flag == "-aet" || flag == "-animationEndTime") t.animationEnd = f * units_.time;
                }
            }
        }
    }
}

}  // namespace ma
}  // namespace mayasim
