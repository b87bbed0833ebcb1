#include "process/PostLoad.h"
#include "scene/Scene.h"

void normalizeVertexWeights(Vertex& vertex) {
    if (vertex.weights.absent()) return;
    float sum = 0.0f;
    for (VertexWeight& weight : vertex.weights) {
        // A weight that names no bone cannot move the vertex, so it must not count.
        if (weight.boneIndex < 0) weight.weight = 0.0f;
        sum += weight.weight;
    }
    if (sum == 1.0f || sum == 0.0f) return;
    const float scale = 1.0f / sum;
    for (VertexWeight& weight : vertex.weights) weight.weight *= scale;
}
