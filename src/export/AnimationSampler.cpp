#include "export/AnimationSampler.h"

#include <maya/MAnimControl.h>
#include <maya/MTime.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "export/LightCameraGatherer.h"
#include "export/NodeTransform.h"
#include "scene/Scene.h"

namespace {

// A range end in whole frames of `unit`, truncated toward zero; saturates far outside the
// 32-bit range so that the count below stays meaningful.
std::int64_t wholeFrames(const MTime& time, MTime::Unit unit) {
    const double frames = std::trunc(time.as(unit));
    constexpr double kLimit = 4.0e18;
    if (!(frames == frames)) return 0;
    if (frames > kLimit) return static_cast<std::int64_t>(kLimit);
    if (frames < -kLimit) return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(frames);
}

}  // namespace

MStatus sampleNodeAnimation(GatherContext& context, BoneTrack* track, const MDagPath& path) {
    if (track == nullptr) return MS::kFailure;
    const MTime::Unit unit = MTime::uiUnit();
    const std::int64_t first = wholeFrames(MAnimControl::minTime(), unit);
    const std::int64_t last = wholeFrames(MAnimControl::maxTime(), unit);
    const std::int64_t count = last - first;  // the end frame itself is not sampled
    if (count <= 0) return MS::kSuccess;
    if (count > std::numeric_limits<std::int32_t>::max()) return context.memoryFailure();

    float rate = frameRateOfUnit(static_cast<int>(unit));
    if (rate == 0.0f) rate = 30.0f;
    const float step = 1.0f / rate;
    const auto n = static_cast<std::int32_t>(count);
    if (!track->positionKeys.allocate(n) || !track->rotationKeys.allocate(n) ||
        !track->scaleKeys.allocate(n)) {
        track->positionKeys.clear();
        track->rotationKeys.clear();
        track->scaleKeys.clear();
        MAnimControl::setCurrentTime(MAnimControl::animationStartTime());
        return context.memoryFailure();
    }
    for (std::int32_t i = 0; i < n; ++i) {
        const float frame = static_cast<float>(first + i);
        MAnimControl::setCurrentTime(MTime(frame, unit));
        NodeTransform sample;
        readNodeTransform(path, sample);
        const float time = frame * step;
        track->positionKeys[i] = {time, sample.translation};
        RotationKey& rotation = track->rotationKeys[i];
        rotation.time = time;
        rotation.value = {0.0f, 0.0f, 0.0f, 0.0f};
        rotation.euler = sample.rotation;
        track->scaleKeys[i] = {time, sample.scale};
    }
    MAnimControl::setCurrentTime(MAnimControl::animationStartTime());
    return MS::kSuccess;
}
