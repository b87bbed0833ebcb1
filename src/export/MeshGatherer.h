#pragma once

// One host mesh shape into one Mesh record: world-space points, the first colour set, the
// first two UV sets (v flipped), the polygons with their corner indices and edge
// smoothness, the shading assignment and the skin weights. Nothing is triangulated or
// welded here; the preparation passes do that on the whole scene.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include "export/GatherContext.h"
#include "scene/Scene.h"

// Appends one Mesh for the shape at `path` and fills it. Failure when the shape is not a
// mesh or memory runs out (context.outOfMemory then tells the two apart); what was
// appended stays.
MStatus gatherMesh(GatherContext& context, const MDagPath& path);

// The unit normal of a polygon's winding, summed over all its edges (Newell's method), so
// that a concave polygon whose first corner is a reflex corner still faces the way its
// corners run. Zero when the polygon has fewer than 3 corners or a corner's vertex index
// is out of range; components that are not numbers are 0.
Vec3 windingNormal(const Polygon& polygon, const VertexArray& vertices);

// Turns the polygon around (reversePolygonCorners) when its winding faces away from the
// host's normal of the face. Returns true when it did.
bool fixFlippedPolygon(Polygon& polygon, const VertexArray& vertices, const Vec3& hostNormal);

// Turns a polygon around: vertex, colour and UV indices in reverse corner order, and the
// edge flags moved so that each still describes the edge that leaves its corner (the
// edge from corner k to k+1 becomes the edge from the new corner of k+1 to that of k).
// Polygons with fewer than 3 corners are left alone.
void reversePolygonCorners(Polygon& polygon);

// Gives each vertex the colour of the first corner (polygon order, then corner order) that
// uses it with a colour index inside the mesh's colour table. The file stores one colour
// per vertex, so where the faces around a vertex disagree the first face's colour wins;
// vertices that no corner colours keep white.
void colorVerticesFromCorners(Mesh& mesh);
