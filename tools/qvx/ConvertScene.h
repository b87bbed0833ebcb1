#pragma once

// Turns a loaded scene into the form the writers take: a loaded polygon's UV indices point
// into the scene-wide UV sets, while the writers read each mesh's own UV sets. Every mesh
// gets its own two UV sets holding the coordinates of its corners, and its polygons index
// those. Linear in the number of corners.

struct Scene;

// Returns false when memory runs out.
bool giveMeshesTheirOwnUVSets(Scene& scene);
