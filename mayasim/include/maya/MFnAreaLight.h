#ifndef _MFnAreaLight
#define _MFnAreaLight

#include <maya/MFnNonExtendedLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnAreaLight : public MFnNonExtendedLight {
    declareDagMFn(MFnAreaLight, MFnNonExtendedLight);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, bool wantTransform = false,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, MStatus* ReturnStatus = NULL);
};

#endif
