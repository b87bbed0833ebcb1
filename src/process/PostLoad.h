#pragma once

// Preparation a freshly parsed scene goes through before anything is built from it:
// pruning, weight normalisation, bone matrices, name clean-up, group material lists,
// pose tables, bind pose and the pose at time 0.

struct Scene;

// Returns 1 on success, 0 when memory ran out part-way (the scene is then left as the
// steps completed so far made it).
int prepareLoadedScene(Scene& scene);
