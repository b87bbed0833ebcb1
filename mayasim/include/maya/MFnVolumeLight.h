#ifndef _MFnVolumeLight
#define _MFnVolumeLight

#include <maya/MFnPointLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnVolumeLight : public MFnPointLight {
    declareDagMFn(MFnVolumeLight, MFnPointLight);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, bool wantTransform = false,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, MStatus* ReturnStatus = NULL);
};

#endif
