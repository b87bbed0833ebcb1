#pragma once

// Splits the vertices that lie on hard edges so that the faces on the two sides of a
// hard edge share no vertex: each such vertex becomes one vertex per group of faces
// around it that are joined through edges that are not hard. Runs on the flattened
// export scene (the scene vertex array and exactly one mesh).

#include <cstdint>

struct Scene;

// Marks left by the pass.
constexpr std::uint32_t kVertexOnHardEdge = 0x40;          // Vertex::flags, while the pass runs
constexpr std::uint32_t kPolygonBordersHardEdge = 0x2000;  // Polygon::flags
constexpr std::uint32_t kEdgeInteriorHard = 0x10;          // edge flags of the edge table

// Returns 1 when the pass ran, 0 when there was nothing to work on (no mesh or more than
// one, no vertices). Afterwards:
// - a vertex on no interior hard edge keeps its position, colour and weights (its index
//   may move down); a vertex on one is replaced by one vertex per face group, placed
//   after the kept vertices in vertex order, group by group;
// - vertices no corner uses are gone;
// - each polygon's normal indices hold, per corner, the number the edge leaving the
//   corner had in the (discarded) edge table, and the polygons that border an interior
//   hard edge carry kPolygonBordersHardEdge;
// - Scene.triangles is absent (the flat triangles cannot survive a renumbering).
// A corner whose vertex index lies past the vertex array takes no part and ends as -1.
// When memory runs out while splitting, the vertices and corners stay as they were.
int unweldHardEdges(Scene& scene);
