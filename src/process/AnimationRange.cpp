#include <cmath>
#include <limits>

#include "process/ExportPrep.h"
#include "scene/Scene.h"

namespace {

constexpr float kDefaultFps = 30.0f;

// Calls f(time) for the time of every position, rotation and scale key.
template <class F>
void forEachKeyTime(Animation& animation, F f) {
    for (BoneTrack& track : animation.tracks) {
        for (PositionKey& key : track.positionKeys) f(key.time);
        for (RotationKey& key : track.rotationKeys) f(key.time);
        for (ScaleKey& key : track.scaleKeys) f(key.time);
    }
}

void computeRange(Animation& animation) {
    constexpr float kNoKey = std::numeric_limits<float>::max();
    float lo = kNoKey;
    float hi = 0.0f;
    forEachKeyTime(animation, [&](float& time) {
        if (time < lo) lo = time;
        if (time > hi) hi = time;
    });
    if (animation.trackCount() == 0 || lo == kNoKey) {
        lo = 0.0f;
    } else if (lo < 0.0f) {
        // Host frames before zero: the file's ticks start at 0.
        const float shift = lo;
        hi = 0.0f;
        forEachKeyTime(animation, [&](float& time) {
            time -= shift;
            if (time > hi) hi = time;
        });
        lo = 0.0f;
    }
    if (animation.fps == 0.0f) animation.fps = kDefaultFps;
    animation.startTick = std::fabs(lo) * animation.fps;
    animation.tickCount = std::fabs(hi) * animation.fps;
}

}  // namespace

void computeAnimationRange(Scene& scene) {
    for (Animation& animation : scene.animations) computeRange(animation);
}
