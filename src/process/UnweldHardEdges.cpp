#include "process/UnweldHardEdges.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
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

// The unordered vertex pairs seen so far and the edge each one became (open addressing,
// linear probing): one probe sequence per corner instead of a search through the edges
// of a vertex, so that a vertex shared by many faces costs no more than any other.
class EdgeHash {
  public:
    explicit EdgeHash(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        keys_.assign(capacity, kEmpty);
        values_.assign(capacity, -1);
        mask_ = capacity - 1;
    }

    // The edge of the pair (a, b) in either orientation, or `fresh` (stored) when new.
    std::int32_t findOrInsert(std::int32_t a, std::int32_t b, std::int32_t fresh) {
        const auto lo = static_cast<std::uint64_t>(std::min(a, b));
        const auto hi = static_cast<std::uint64_t>(std::max(a, b));
        const std::uint64_t key = (lo << 32) | hi;
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask_;
        while (keys_[slot] != kEmpty) {
            if (keys_[slot] == key) return values_[slot];
            slot = (slot + 1) & mask_;
        }
        keys_[slot] = key;
        values_[slot] = fresh;
        return fresh;
    }

  private:
    static constexpr std::uint64_t kEmpty = ~std::uint64_t(0);
    std::vector<std::uint64_t> keys_;
    std::vector<std::int32_t> values_;
    std::size_t mask_ = 0;
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

bool lengthBefore(float x, float y) {
    // NaN lengths go last, so that the order stays a strict weak one.
    if (std::isnan(x)) return false;
    if (std::isnan(y)) return true;
    return x < y;
}

void buildEdgeTable(const Scene& scene, const Mesh& mesh, const CornerIndex& corners, EdgeTable& table) {
    const std::int32_t vertexCount = scene.vertices.count();
    const std::int32_t polygonCount = mesh.polygons.count();

    // Edges in order of creation, with the corner each corner's edge was created as.
    std::vector<std::int32_t> firstVertex, secondVertex;
    std::vector<std::int32_t> createdEdge(corners.total(), -1);
    EdgeHash seen(corners.total());
    for (std::int32_t p = 0; p < polygonCount; ++p) {
        const Polygon& polygon = mesh.polygons[p];
        const std::int32_t n = polygon.cornerCount();
        const std::int32_t* v = polygon.vertexIndices();
        for (std::int32_t k = 0; k < n; ++k) {
            const std::int32_t from = v[k];
            const std::int32_t to = v[(k + 1) % n];
            if (!scene.vertices.validIndex(from) || !scene.vertices.validIndex(to)) continue;
            const auto fresh = static_cast<std::int32_t>(firstVertex.size());
            const std::int32_t edge = seen.findOrInsert(from, to, fresh);
            if (edge == fresh) {
                firstVertex.push_back(from);
                secondVertex.push_back(to);
            }
            createdEdge[corners.start[std::size_t(p)] + std::size_t(k)] = edge;
        }
    }
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

    std::vector<float> length(edgeCount);
    for (std::size_t e = 0; e < edgeCount; ++e) {
        length[e] =
            vecDistance(scene.vertices[firstVertex[e]].position, scene.vertices[secondVertex[e]].position);
    }
    // Stable, so that edges of equal length keep the bucket order.
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
        return lengthBefore(length[std::size_t(x)], length[std::size_t(y)]);
    });

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
    if (used == 0) {
        // No corner uses any vertex: the array ends empty.
    } else {
        if (!result.allocate(used)) return false;
        for (std::size_t n = 0; n < extendedCount; ++n) {
            if (finalIndex[n] < 0) continue;
            const std::int32_t source = n < std::size_t(vertexCount)
                                            ? std::int32_t(n)
                                            : plan.copySource[n - std::size_t(vertexCount)];
            if (!copyKeptFields(result[finalIndex[n]], scene.vertices[source])) return false;
        }
    }

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
    std::unique_ptr<CornerIndex> corners;
    EdgeTable table;
    try {
        corners = std::make_unique<CornerIndex>(mesh);
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
