#include <maya/MAnimControl.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <cmath>

#include "host/Messages.h"
#include "import/ImportBuild.h"
#include "scene/Scene.h"

namespace {

struct RateUnit {
    float rate;
    MTime::Unit unit;
};

// In the order they are tried; the first within tolerance wins.
constexpr RateUnit kRateUnits[] = {
    {1.0f / 3600.0f, MTime::kHours},
    {1.0f / 60.0f, MTime::kMinutes},
    {1.0f, MTime::kSeconds},
    {1000.0f, MTime::kMilliseconds},
    {15.0f, MTime::kGames},
    {24.0f, MTime::kFilm},
    {25.0f, MTime::kPALFrame},
    {30.0f, MTime::kNTSCFrame},
    {48.0f, MTime::kShowScan},
    {50.0f, MTime::kPALField},
    {60.0f, MTime::kNTSCField},
    {2.0f, MTime::k2FPS},
    {3.0f, MTime::k3FPS},
    {4.0f, MTime::k4FPS},
    {5.0f, MTime::k5FPS},
    {6.0f, MTime::k6FPS},
    {8.0f, MTime::k8FPS},
    {10.0f, MTime::k10FPS},
    {12.0f, MTime::k12FPS},
    {16.0f, MTime::k16FPS},
    {20.0f, MTime::k20FPS},
    {40.0f, MTime::k40FPS},
    {75.0f, MTime::k75FPS},
    {80.0f, MTime::k80FPS},
    {100.0f, MTime::k100FPS},
    {120.0f, MTime::k120FPS},
    {125.0f, MTime::k125FPS},
    {150.0f, MTime::k150FPS},
    {200.0f, MTime::k200FPS},
    {240.0f, MTime::k240FPS},
    {250.0f, MTime::k250FPS},
    {300.0f, MTime::k300FPS},
    {375.0f, MTime::k375FPS},
    {400.0f, MTime::k400FPS},
    {500.0f, MTime::k500FPS},
    {600.0f, MTime::k600FPS},
    {750.0f, MTime::k750FPS},
    {1200.0f, MTime::k1200FPS},
    {1500.0f, MTime::k1500FPS},
    {2000.0f, MTime::k2000FPS},
    {3000.0f, MTime::k3000FPS},
    {6000.0f, MTime::k6000FPS},
};

}  // namespace

MTime::Unit timeUnitForRate(float rate) {
    for (const RateUnit& entry : kRateUnits) {
        if (std::fabs(entry.rate - rate) < 0.0001f) return entry.unit;
    }
    return MTime::kNTSCFrame;
}

MStatus applyTimeSettings(BuildRequest& request) {
    const Scene& scene = request.scene;
    if (scene.bones.absent() || scene.animations.absent() || scene.animations.count() == 0) {
        return MStatus::kSuccess;
    }
    const Animation& animation = scene.animations[0];
    const float start = animation.startTick;
    const float end = start + animation.tickCount;
    const float rate = animation.fps;
    const MTime::Unit unit = timeUnitForRate(rate);

    logHost(MString("QVX: tick_start: ") + static_cast<double>(start));
    logHost(MString("QVX: tick_end: ") + static_cast<double>(end));
    logHost(MString("QVX: fps: ") + static_cast<double>(rate));
    logStderrFormat("QVX: tick_start: %f\n", static_cast<double>(start));
    logStderrFormat("QVX: tick_end: %f\n", static_cast<double>(end));
    logStderrFormat("QVX: fps: %f\n", static_cast<double>(rate));

    const MStatus status = MTime::setUIUnit(unit);
    // A damaged file's range may not be a number; the host's range is then left alone
    // rather than set to a time that nothing can be compared with.
    if (!std::isfinite(start) || !std::isfinite(end)) return status;
    const MTime::Unit current = MTime::uiUnit();
    MAnimControl::setMinTime(MTime(start, current));
    MAnimControl::setMaxTime(MTime(end, current));
    MAnimControl::setAnimationStartTime(MTime(start, current));
    MAnimControl::setAnimationEndTime(MTime(end, current));
    MAnimControl::setCurrentTime(MTime(start, current));
    return status;
}
