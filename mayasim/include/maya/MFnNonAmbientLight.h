#ifndef _MFnNonAmbientLight
#define _MFnNonAmbientLight

#include <maya/MFnLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnNonAmbientLight : public MFnLight {
    declareDagMFn(MFnNonAmbientLight, MFnLight);

  public:
    short decayRate(MStatus* ReturnStatus = NULL) const;
    MStatus setDecayRate(const short& decay_rate);
};

#endif
