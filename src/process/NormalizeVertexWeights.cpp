#include "process/PostLoad.h"
#include "scene/Scene.h"

#include <cmath>
#include <limits>

void normalizeVertexWeights(Vertex& vertex) {
    normalizeVertexWeights(vertex, std::numeric_limits<std::int32_t>::max());
}

void normalizeVertexWeights(Vertex& vertex, std::int32_t boneCount) {
    if (vertex.weights.absent()) return;
    float sum = 0.0f;
    for (VertexWeight& weight : vertex.weights) {
        // A weight that names no bone cannot move the vertex, so it must not count; nor can
        // one that is not a number (a damaged file), which would otherwise turn every
        // other weight of the vertex into NaN.
        if (weight.boneIndex < 0 || weight.boneIndex >= boneCount || !std::isfinite(weight.weight))
            weight.weight = 0.0f;
        sum += weight.weight;
    }
    if (sum == 1.0f || sum == 0.0f) return;
    const float scale = 1.0f / sum;
    for (VertexWeight& weight : vertex.weights) weight.weight *= scale;
}
