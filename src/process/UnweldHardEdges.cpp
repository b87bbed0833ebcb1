#include "process/UnweldHardEdges.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <numeric>
#include <queue>
#include <utility>
#include <vector>

#include "scene/Scene.h"

namespace {

constexpr std::uint32_t kPolygonBitsClearedByTable = 0x100 | 0x200 | 0x1000;

// Corner numbering over the whole mesh: the corners of polygon p are
// start[p] .. start[p + 1] - 1.
struct CornerIndex {
    std::vector<std::size_t> start;

    explicit CornerIndex(const Mesh& mesh) : start(static_cast<std::size_t>(mesh.polygons.count()) + 1, 0) {
        for (std::int32_t p = 0; p < mesh.polygons.count(); ++p) {
            start[std::size_t(p) + 1] = start[std::size_t(p)] + std::size_t(mesh.polygons[p].cornerCount());
        }
    }
    std::size_t total() const { return start.back(); }
};

// The edge table: edges sorted by ascending length, each with its two vertices (in the
// direction of the first polygon that runs along it), the last polygon running along it
// in each direction and the OR of its corners' edge flags; and, per corner, the edge
// that leaves it (-1 when a vertex of the corner is missing).
struct EdgeTable {
    std::vector<std::int32_t> a, b;
    std::vector<std::int32_t> face0, face1;
    std::vector<std::uint32_t> flags;
    std::vector<std::int32_t> cornerEdge;

    std::int32_t count() const { return static_cast<std::int32_t>(a.size()); }
};

// Sort key of an edge length: lengths are never negative, so their bit patterns order
// as the numbers do; NaN goes after infinity.
std::uint32_t lengthKey(float length) {
    if (std::isnan(length)) return 0x7FC00000u;
    if (length == 0.0f) return 0;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &length, sizeof bits);
    return bits;
}

void buildEdgeTable(const Scene& scene, const Mesh& mesh, const CornerIndex& corners, EdgeTable& table) {
    const std::int32_t vertexCount = scene.vertices.count();
    const std::int32_t polygonCount = mesh.polygons.count();

    const std::size_t cornerTotal = corners.total();
    auto forEachCorner = [&](auto visit) {
        for (std::int32_t p = 0; p < polygonCount; ++p) {
            const Polygon& polygon = mesh.polygons[p];
            const std::int32_t n = polygon.cornerCount();
            const std::int32_t* v = polygon.vertexIndices();
            const auto base = static_cast<std::uint32_t>(corners.start[std::size_t(p)]);
            for (std::int32_t k = 0; k < n; ++k) {
                const std::int32_t from = v[k];
                const std::int32_t to = v[(k + 1) % n];
                if (scene.vertices.validIndex(from) && scene.vertices.validIndex(to)) {
                    visit(base + std::uint32_t(k), from, to);
                }
            }
        }
    };

    // An edge is an unordered vertex pair. The corners are grouped by the lower vertex
    // of their pair (a counting sort, so each group stays small and in corner order);
    // within a group, corners with the same upper vertex share one edge, represented by
    // its first corner. This finds every pair without hashing the whole mesh.
    std::vector<std::uint32_t> groupStart(std::size_t(vertexCount) + 1, 0);
    forEachCorner([&](std::uint32_t, std::int32_t from, std::int32_t to) {
        ++groupStart[std::size_t(std::min(from, to)) + 1];
    });
    for (std::size_t i = 1; i < groupStart.size(); ++i) groupStart[i] += groupStart[i - 1];
    std::vector<std::uint64_t> grouped(groupStart.back());
    {
        std::vector<std::uint32_t> fill(groupStart.begin(), groupStart.end() - 1);
        forEachCorner([&](std::uint32_t corner, std::int32_t from, std::int32_t to) {
            const auto upper = static_cast<std::uint64_t>(std::max(from, to));
            grouped[fill[std::size_t(std::min(from, to))]++] = (upper << 32) | corner;
        });
    }
    std::vector<std::int32_t> createdEdge(cornerTotal, -1);  // first: the representative corner
    for (std::size_t lo = 0; lo + 1 < groupStart.size(); ++lo) {
        const auto first = grouped.begin() + std::ptrdiff_t(groupStart[lo]);
        const auto last = grouped.begin() + std::ptrdiff_t(groupStart[lo + 1]);
        std::sort(first, last);
        std::uint64_t runUpper = ~std::uint64_t(0);
        std::int32_t representative = -1;
        for (auto it = first; it != last; ++it) {
            if ((*it >> 32) != runUpper) {
                runUpper = *it >> 32;
                representative = static_cast<std::int32_t>(*it & 0xFFFFFFFFu);
            }
            createdEdge[std::size_t(*it & 0xFFFFFFFFu)] = representative;
        }
    }
    const std::size_t pairedCorners = grouped.size();
    std::vector<std::uint64_t>().swap(grouped);
    std::vector<std::uint32_t>().swap(groupStart);

    // Edges numbered in order of creation, oriented as their first corner runs along
    // them; a representative always comes before the corners it stands for.
    std::vector<std::int32_t> firstVertex, secondVertex;
    firstVertex.reserve(pairedCorners);
    secondVertex.reserve(pairedCorners);
    forEachCorner([&](std::uint32_t corner, std::int32_t from, std::int32_t to) {
        const std::int32_t representative = createdEdge[corner];
        if (representative == std::int32_t(corner)) {
            createdEdge[corner] = static_cast<std::int32_t>(firstVertex.size());
            firstVertex.push_back(from);
            secondVertex.push_back(to);
        } else {
            createdEdge[corner] = createdEdge[std::size_t(representative)];
        }
    });
    const std::size_t edgeCount = firstVertex.size();

    // The table before sorting lists the edges bucket by bucket (by first vertex) and,
    // within a bucket, newest first, as a chained list per vertex would.
    std::vector<std::size_t> bucketStart(static_cast<std::size_t>(vertexCount) + 1, 0);
    for (std::int32_t from : firstVertex) ++bucketStart[std::size_t(from) + 1];
    for (std::size_t i = 1; i < bucketStart.size(); ++i) bucketStart[i] += bucketStart[i - 1];
    std::vector<std::int32_t> order(edgeCount);
    for (std::size_t e = edgeCount; e-- > 0;)
        order[bucketStart[std::size_t(firstVertex[e])]++] = std::int32_t(e);
    std::vector<std::size_t>().swap(bucketStart);

    // Sorted by length; equal lengths keep the bucket order (the key ends with the
    // position), which makes the order of the table fully determined.
    std::vector<std::uint64_t> keyed(edgeCount);
    for (std::size_t pos = 0; pos < edgeCount; ++pos) {
        const auto e = std::size_t(order[pos]);
        const float length =
            vecDistance(scene.vertices[firstVertex[e]].position, scene.vertices[secondVertex[e]].position);
        keyed[pos] = (std::uint64_t(lengthKey(length)) << 32) | pos;
    }
    std::sort(keyed.begin(), keyed.end());
    {
        std::vector<std::int32_t> sorted(edgeCount);
        for (std::size_t pos = 0; pos < edgeCount; ++pos)
            sorted[pos] = order[std::size_t(keyed[pos] & 0xFFFFFFFFu)];
        order.swap(sorted);
    }
    std::vector<std::uint64_t>().swap(keyed);

    std::vector<std::int32_t> position(edgeCount);
    table.a.resize(edgeCount);
    table.b.resize(edgeCount);
    for (std::size_t pos = 0; pos < edgeCount; ++pos) {
        const auto e = std::size_t(order[pos]);
        position[e] = std::int32_t(pos);
        table.a[pos] = firstVertex[e];
        table.b[pos] = secondVertex[e];
    }
    table.cornerEdge.resize(corners.total());
    for (std::size_t c = 0; c < createdEdge.size(); ++c) {
        table.cornerEdge[c] = createdEdge[c] < 0 ? -1 : position[std::size_t(createdEdge[c])];
    }

    table.face0.assign(edgeCount, -1);
    table.face1.assign(edgeCount, -1);
    table.flags.assign(edgeCount, 0);
    for (std::int32_t p = 0; p < polygonCount; ++p) {
        const Polygon& polygon = mesh.polygons[p];
        const std::int32_t n = polygon.cornerCount();
        const std::int32_t* v = polygon.vertexIndices();
        const std::uint32_t* edgeFlags = polygon.edgeFlags();
        for (std::int32_t k = 0; k < n; ++k) {
            const std::int32_t e = table.cornerEdge[corners.start[std::size_t(p)] + std::size_t(k)];
            if (e < 0) continue;
            if (table.a[std::size_t(e)] == v[k] && table.b[std::size_t(e)] == v[(k + 1) % n]) {
                table.face0[std::size_t(e)] = p;
            } else {
                table.face1[std::size_t(e)] = p;
            }
            table.flags[std::size_t(e)] |= edgeFlags[k];
        }
    }
    // The interior mark is the pass's own; whatever the corners carried in that bit goes.
    for (std::uint32_t& f : table.flags) f &= ~kEdgeInteriorHard;
}

// Compressed lists: the items of list i are items[start[i] .. start[i + 1]).
struct Lists {
    std::vector<std::size_t> start;
    std::vector<std::int32_t> items;

    std::size_t size(std::size_t i) const { return start[i + 1] - start[i]; }
    const std::int32_t* begin(std::size_t i) const { return items.data() + start[i]; }
    const std::int32_t* end(std::size_t i) const { return items.data() + start[i + 1]; }
};

// Per polygon, the other polygons that run along one of its edges that is not an
// interior hard edge (sorted, without repeats): the faces it joins within a face group.
Lists buildSmoothNeighbours(const Mesh& mesh, const CornerIndex& corners, const EdgeTable& table) {
    const std::int32_t polygonCount = mesh.polygons.count();
    Lists out;
    out.start.assign(static_cast<std::size_t>(polygonCount) + 1, 0);
    out.items.reserve(corners.total() * 2);
    for (std::int32_t p = 0; p < polygonCount; ++p) {
        const std::size_t first = out.items.size();
        for (std::size_t c = corners.start[std::size_t(p)]; c < corners.start[std::size_t(p) + 1]; ++c) {
            const std::int32_t e = table.cornerEdge[c];
            if (e < 0 || (table.flags[std::size_t(e)] & kEdgeInteriorHard) != 0) continue;
            for (std::int32_t face : {table.face0[std::size_t(e)], table.face1[std::size_t(e)]}) {
                if (face >= 0 && face != p) out.items.push_back(face);
            }
        }
        std::sort(out.items.begin() + std::ptrdiff_t(first), out.items.end());
        out.items.erase(std::unique(out.items.begin() + std::ptrdiff_t(first), out.items.end()),
                        out.items.end());
        out.start[std::size_t(p) + 1] = out.items.size();
    }
    return out;
}

// Joins the faces around one vertex into face groups. Face i starts as group i; passes
// are repeated until one joins nothing, and in each pass every group i takes in, in
// ascending order, each later group j holding a face that a face of i (as it has grown
// so far) reaches through `arcs`. Returns, per face, the index of the group it ends in.
//
// When every arc has its reverse the result is the connected components, each ending in
// the group of its first face; that case is answered with a union-find. Otherwise the
// passes are replayed with a heap of candidate groups, which gives the same groups in
// the same order as testing every pair of groups would.
class FaceGrouper {
  public:
    void group(std::int32_t faceCount, std::vector<std::pair<std::int32_t, std::int32_t>>& arcs,
               std::vector<std::int32_t>& groupOf) {
        groupOf.resize(std::size_t(faceCount));
        std::iota(groupOf.begin(), groupOf.end(), 0);
        if (arcs.empty()) return;
        std::sort(arcs.begin(), arcs.end());
        const bool symmetric = std::all_of(arcs.begin(), arcs.end(), [&](const auto& arc) {
            return std::binary_search(arcs.begin(), arcs.end(), std::make_pair(arc.second, arc.first));
        });
        if (symmetric) {
            joinComponents(arcs, groupOf);
        } else {
            replayPasses(faceCount, arcs, groupOf);
        }
    }

  private:
    static std::int32_t root(std::vector<std::int32_t>& parent, std::int32_t i) {
        while (parent[std::size_t(i)] != i) {
            parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
            i = parent[std::size_t(i)];
        }
        return i;
    }

    void joinComponents(const std::vector<std::pair<std::int32_t, std::int32_t>>& arcs,
                        std::vector<std::int32_t>& groupOf) {
        // groupOf starts as the identity and serves as the parent table; the smaller root
        // always wins, so each root is the first face of its component.
        for (const auto& arc : arcs) {
            const std::int32_t x = root(groupOf, arc.first);
            const std::int32_t y = root(groupOf, arc.second);
            if (x < y) groupOf[std::size_t(y)] = x;
            if (y < x) groupOf[std::size_t(x)] = y;
        }
        for (std::size_t i = 0; i < groupOf.size(); ++i) groupOf[i] = root(groupOf, std::int32_t(i));
    }

    void replayPasses(std::int32_t faceCount, const std::vector<std::pair<std::int32_t, std::int32_t>>& arcs,
                      std::vector<std::int32_t>& groupOf) {
        outStart_.assign(std::size_t(faceCount) + 1, 0);
        for (const auto& arc : arcs) ++outStart_[std::size_t(arc.first) + 1];
        for (std::size_t i = 1; i < outStart_.size(); ++i) outStart_[i] += outStart_[i - 1];
        // arcs are sorted, so their targets are already grouped by source.
        members_.assign(std::size_t(faceCount), {});
        for (std::int32_t i = 0; i < faceCount; ++i) members_[std::size_t(i)].push_back(i);

        bool joined = true;
        while (joined) {
            joined = false;
            for (std::int32_t i = 0; i < faceCount; ++i) {
                if (members_[std::size_t(i)].empty()) continue;
                Heap candidates;
                for (std::int32_t face : members_[std::size_t(i)])
                    pushTargets(arcs, groupOf, face, i, candidates);
                std::int32_t passed = i;  // groups up to here have had their test against i
                while (!candidates.empty()) {
                    const std::int32_t j = candidates.top();
                    candidates.pop();
                    if (j <= passed) continue;
                    passed = j;
                    joined = true;
                    std::vector<std::int32_t> moved;
                    moved.swap(members_[std::size_t(j)]);
                    for (std::int32_t face : moved) {
                        groupOf[std::size_t(face)] = i;
                        members_[std::size_t(i)].push_back(face);
                    }
                    // Faces reached from the newcomers count only for groups not yet
                    // tested in this pass; the others wait for the next pass.
                    for (std::int32_t face : moved) pushTargets(arcs, groupOf, face, j, candidates);
                }
            }
        }
    }

    using Heap = std::priority_queue<std::int32_t, std::vector<std::int32_t>, std::greater<std::int32_t>>;

    void pushTargets(const std::vector<std::pair<std::int32_t, std::int32_t>>& arcs,
                     const std::vector<std::int32_t>& groupOf, std::int32_t face, std::int32_t after,
                     Heap& candidates) const {
        for (std::size_t a = outStart_[std::size_t(face)]; a < outStart_[std::size_t(face) + 1]; ++a) {
            const std::int32_t g = groupOf[std::size_t(arcs[a].second)];
            if (g > after) candidates.push(g);
        }
    }

    std::vector<std::size_t> outStart_;
    std::vector<std::vector<std::int32_t>> members_;
};

// Where the corners of each split vertex go: per vertex, (polygon, new vertex index)
// sorted by polygon; and, per new vertex past the old count, the vertex it copies.
struct SplitPlan {
    std::vector<std::size_t> start;  // per old vertex, into entries
    std::vector<std::pair<std::int32_t, std::int32_t>> entries;
    std::vector<std::int32_t> copySource;

    // The new index of `vertex` in `polygon`, or -1 when no face group holds the polygon.
    std::int32_t find(std::int32_t vertex, std::int32_t polygon) const {
        const auto first = entries.begin() + std::ptrdiff_t(start[std::size_t(vertex)]);
        const auto last = entries.begin() + std::ptrdiff_t(start[std::size_t(vertex) + 1]);
        const auto it = std::lower_bound(first, last, std::make_pair(polygon, std::int32_t(-1)));
        return it != last && it->first == polygon ? it->second : -1;
    }
};

// Face groups and copy numbers for every vertex on an interior hard edge. Only those
// vertices' copies can be referenced afterwards, so only they are planned; the numbering
// (old count, then vertex by vertex and group by group) keeps the final order.
SplitPlan planSplits(const Scene& scene, const Mesh& mesh, const CornerIndex& corners,
                     const EdgeTable& table) {
    const std::int32_t vertexCount = scene.vertices.count();
    const std::int32_t polygonCount = mesh.polygons.count();
    auto onHardEdge = [&](std::int32_t v) { return (scene.vertices[v].flags & kVertexOnHardEdge) != 0; };

    // The edges at each split vertex, in table order.
    Lists incident;
    incident.start.assign(std::size_t(vertexCount) + 1, 0);
    for (std::int32_t e = 0; e < table.count(); ++e) {
        const std::int32_t a = table.a[std::size_t(e)];
        const std::int32_t b = table.b[std::size_t(e)];
        if (onHardEdge(a)) ++incident.start[std::size_t(a) + 1];
        if (b != a && onHardEdge(b)) ++incident.start[std::size_t(b) + 1];
    }
    for (std::size_t i = 1; i < incident.start.size(); ++i) incident.start[i] += incident.start[i - 1];
    incident.items.resize(incident.start.back());
    {
        std::vector<std::size_t> fill(incident.start.begin(), incident.start.end() - 1);
        for (std::int32_t e = 0; e < table.count(); ++e) {
            const std::int32_t a = table.a[std::size_t(e)];
            const std::int32_t b = table.b[std::size_t(e)];
            if (onHardEdge(a)) incident.items[fill[std::size_t(a)]++] = e;
            if (b != a && onHardEdge(b)) incident.items[fill[std::size_t(b)]++] = e;
        }
    }

    const Lists neighbours = buildSmoothNeighbours(mesh, corners, table);

    SplitPlan plan;
    plan.start.assign(std::size_t(vertexCount) + 1, 0);
    std::vector<std::int32_t> localOf(std::size_t(polygonCount), -1);
    std::vector<std::int32_t> faces;
    std::vector<std::pair<std::int32_t, std::int32_t>> arcs;
    std::vector<std::int32_t> groupOf;
    std::vector<std::int32_t> copyOfGroup;
    FaceGrouper grouper;
    for (std::int32_t v = 0; v < vertexCount; ++v) {
        plan.start[std::size_t(v)] = plan.entries.size();
        if (incident.size(std::size_t(v)) == 0) continue;

        // The polygons around v, each once, in order of appearance along its edges.
        faces.clear();
        for (const std::int32_t* e = incident.begin(std::size_t(v)); e != incident.end(std::size_t(v)); ++e) {
            for (std::int32_t face : {table.face0[std::size_t(*e)], table.face1[std::size_t(*e)]}) {
                if (face < 0 || localOf[std::size_t(face)] >= 0) continue;
                localOf[std::size_t(face)] = std::int32_t(faces.size());
                faces.push_back(face);
            }
        }
        const auto k = std::int32_t(faces.size());

        // The arcs between them: scanning every face's neighbours, or testing every pair
        // when that is cheaper (a vertex on a few huge polygons).
        arcs.clear();
        std::size_t scanCost = 0;
        for (std::int32_t face : faces) scanCost += neighbours.size(std::size_t(face));
        if (std::uint64_t(k) * std::uint64_t(k) < scanCost) {
            for (std::int32_t i = 0; i < k; ++i) {
                const std::size_t from = std::size_t(faces[std::size_t(i)]);
                for (std::int32_t j = 0; j < k; ++j) {
                    if (i != j && std::binary_search(neighbours.begin(from), neighbours.end(from),
                                                     faces[std::size_t(j)])) {
                        arcs.emplace_back(i, j);
                    }
                }
            }
        } else {
            for (std::int32_t i = 0; i < k; ++i) {
                const std::size_t from = std::size_t(faces[std::size_t(i)]);
                for (const std::int32_t* q = neighbours.begin(from); q != neighbours.end(from); ++q) {
                    const std::int32_t j = localOf[std::size_t(*q)];
                    if (j >= 0) arcs.emplace_back(i, j);
                }
            }
        }
        grouper.group(k, arcs, groupOf);

        // One copy per non-empty group, in group order.
        copyOfGroup.assign(std::size_t(k), -1);
        for (std::int32_t g : groupOf) copyOfGroup[std::size_t(g)] = 0;
        for (std::int32_t g = 0; g < k; ++g) {
            if (copyOfGroup[std::size_t(g)] < 0) continue;
            copyOfGroup[std::size_t(g)] = vertexCount + std::int32_t(plan.copySource.size());
            plan.copySource.push_back(v);
        }
        const std::size_t first = plan.entries.size();
        for (std::int32_t i = 0; i < k; ++i) {
            plan.entries.emplace_back(faces[std::size_t(i)],
                                      copyOfGroup[std::size_t(groupOf[std::size_t(i)])]);
            localOf[std::size_t(faces[std::size_t(i)])] = -1;
        }
        std::sort(plan.entries.begin() + std::ptrdiff_t(first), plan.entries.end());
    }
    plan.start[std::size_t(vertexCount)] = plan.entries.size();
    return plan;
}

// Copies what a split keeps of a vertex: position, colour and weights; every other
// field keeps its default. Returns false when memory runs out.
bool copyKeptFields(Vertex& target, const Vertex& source) {
    target.position = source.position;
    target.color = source.color;
    const std::int32_t n = source.weights.count();
    if (n == 0) return true;
    if (!target.weights.allocate(n)) return false;
    for (std::int32_t w = 0; w < n; ++w) target.weights[w] = source.weights[w];
    return true;
}

// Applies the plan: moves the corners of split vertices to their copies and keeps only
// the vertices some corner uses, in index order. Everything is computed and allocated
// before the scene changes, so running out of memory leaves vertices and corners as
// they were. Returns false in that case.
bool splitVertices(Scene& scene, Mesh& mesh, const CornerIndex& corners, const SplitPlan& plan) {
    const std::int32_t vertexCount = scene.vertices.count();
    const std::size_t extendedCount = std::size_t(vertexCount) + plan.copySource.size();

    // New index per corner in the extended numbering (old vertices, then the copies).
    std::vector<std::int32_t> target(corners.total(), -1);
    for (std::int32_t p = 0; p < mesh.polygons.count(); ++p) {
        const Polygon& polygon = mesh.polygons[p];
        const std::int32_t* v = polygon.vertexIndices();
        const std::size_t base = corners.start[std::size_t(p)];
        bool remapping = true;
        for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
            const std::int32_t old = v[k];
            if (old < 0) {
                target[base + std::size_t(k)] = old;
                continue;
            }
            if (old >= vertexCount) continue;  // names no vertex: ends as -1, never as a copy
            std::int32_t next = old;
            if (remapping && (scene.vertices[old].flags & kVertexOnHardEdge) != 0) {
                const std::int32_t copy = plan.find(old, p);
                if (copy < 0) {
                    remapping = false;  // the polygon's remaining corners stay as they are
                } else {
                    next = copy;
                }
            }
            target[base + std::size_t(k)] = next;
        }
    }

    std::vector<std::int32_t> finalIndex(extendedCount, -1);
    for (std::int32_t t : target) {
        if (t >= 0) finalIndex[std::size_t(t)] = 0;
    }
    std::int32_t used = 0;
    for (std::int32_t& f : finalIndex) {
        if (f == 0) f = used++;
    }

    VertexArray result;
    if (used > 0) {
        if (!result.allocate(used)) return false;
        // The copies first: they duplicate weights, which can fail. The old vertices
        // then hand over their weights, which cannot.
        for (std::size_t n = std::size_t(vertexCount); n < extendedCount; ++n) {
            if (finalIndex[n] < 0) continue;
            const Vertex& source = scene.vertices[plan.copySource[n - std::size_t(vertexCount)]];
            if (!copyKeptFields(result[finalIndex[n]], source)) return false;
        }
        for (std::int32_t n = 0; n < vertexCount; ++n) {
            if (finalIndex[std::size_t(n)] < 0) continue;
            Vertex& source = scene.vertices[n];
            Vertex& kept = result[finalIndex[std::size_t(n)]];
            kept.position = source.position;
            kept.color = source.color;
            kept.weights = std::move(source.weights);
        }
    }
    // else no corner uses any vertex: the array ends empty.

    for (std::int32_t p = 0; p < mesh.polygons.count(); ++p) {
        Polygon& polygon = mesh.polygons[p];
        std::int32_t* v = polygon.vertexIndices();
        const std::size_t base = corners.start[std::size_t(p)];
        for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
            const std::int32_t t = target[base + std::size_t(k)];
            v[k] = t < 0 ? t : finalIndex[std::size_t(t)];
        }
    }
    scene.vertices = std::move(result);
    return true;
}

}  // namespace

int unweldHardEdges(Scene& scene) {
    if (scene.meshes.count() != 1 || scene.vertices.count() == 0) return 0;
    Mesh& mesh = scene.meshes[0];
    constexpr std::size_t kMaxCorners = 0x7FFFFFFF;  // corners are numbered in 32 bits
    std::unique_ptr<CornerIndex> corners;
    EdgeTable table;
    try {
        corners = std::make_unique<CornerIndex>(mesh);
        if (corners->total() > kMaxCorners) return 0;
        buildEdgeTable(scene, mesh, *corners, table);
    } catch (const std::bad_alloc&) {
        return 0;  // no edge table: nothing has changed
    }

    // From here on the scene changes. Per corner, the edge leaving it is recorded in the
    // normal indices; the marks of earlier runs are cleared.
    for (Vertex& vertex : scene.vertices) vertex.flags &= ~kVertexOnHardEdge;
    for (std::int32_t p = 0; p < mesh.polygons.count(); ++p) {
        Polygon& polygon = mesh.polygons[p];
        polygon.flags &= ~(kPolygonBitsClearedByTable | kPolygonBordersHardEdge);
        std::int32_t* normals = polygon.normalIndices();
        for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
            normals[k] = table.cornerEdge[corners->start[std::size_t(p)] + std::size_t(k)];
        }
    }

    // An interior hard edge is a hard edge with a face on each side; a hard border
    // splits nothing.
    for (std::int32_t e = 0; e < table.count(); ++e) {
        const auto i = std::size_t(e);
        if ((table.flags[i] & Polygon::kEdgeHard) == 0 || table.face0[i] < 0 || table.face1[i] < 0) continue;
        scene.vertices[table.a[i]].flags |= kVertexOnHardEdge;
        scene.vertices[table.b[i]].flags |= kVertexOnHardEdge;
        mesh.polygons[table.face0[i]].flags |= kPolygonBordersHardEdge;
        mesh.polygons[table.face1[i]].flags |= kPolygonBordersHardEdge;
        table.flags[i] |= kEdgeInteriorHard;
    }

    if (table.count() > 0) {
        try {
            const SplitPlan plan = planSplits(scene, mesh, *corners, table);
            splitVertices(scene, mesh, *corners, plan);
        } catch (const std::bad_alloc&) {
            // Vertices and corners change together at the very end, so they are as they
            // were.
        }
    }
    scene.triangles.clear();
    return 1;
}
