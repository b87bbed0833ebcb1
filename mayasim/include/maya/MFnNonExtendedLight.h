#ifndef _MFnNonExtendedLight
#define _MFnNonExtendedLight

#include <maya/MFnNonAmbientLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnNonExtendedLight : public MFnNonAmbientLight {
    declareDagMFn(MFnNonExtendedLight, MFnNonAmbientLight);

  public:
    float shadowRadius(MStatus* ReturnStatus = NULL) const;
    MStatus setShadowRadius(const float& shadow_radius);
};

#endif
