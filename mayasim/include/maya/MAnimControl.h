#ifndef _MAnimControl
#define _MAnimControl

#include <maya/MFnAnimCurve.h>
#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class OPENMAYAANIM_EXPORT MAnimControl {
  public:
    enum PlaybackMode { kPlaybackOnce, kPlaybackLoop, kPlaybackOscillate };
    MAnimControl();
    virtual ~MAnimControl();
    static MTime minTime();
    static MTime maxTime();
    static MStatus setMinTime(MTime newMinTime);
    static MStatus setMaxTime(MTime newMaxTime);
    static MStatus setMinMaxTime(const MTime& newMinTime, const MTime& newMaxTime);
    static MTime animationStartTime();
    static MTime animationEndTime();
    static MStatus setAnimationStartTime(MTime newStartTime);
    static MStatus setAnimationEndTime(MTime newEndTime);
    static MStatus setAnimationStartEndTime(const MTime& newStartTime, const MTime& newEndTime);
    static MTime currentTime();
    static MStatus setCurrentTime(const MTime& newTime);
    static bool isPlaying();
};

#endif
