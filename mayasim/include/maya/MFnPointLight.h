#ifndef _MFnPointLight
#define _MFnPointLight

#include <maya/MFnNonExtendedLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnPointLight : public MFnNonExtendedLight {
    declareDagMFn(MFnPointLight, MFnNonExtendedLight);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, bool wantTransform = false,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, MStatus* ReturnStatus = NULL);
};

#endif
