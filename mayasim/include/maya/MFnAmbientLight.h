#ifndef _MFnAmbientLight
#define _MFnAmbientLight

#include <maya/MFnLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnAmbientLight : public MFnLight {
    declareDagMFn(MFnAmbientLight, MFnLight);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, bool wantTransform = false,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, MStatus* ReturnStatus = NULL);
    float ambientShade(MStatus* ReturnStatus = NULL) const;
    MStatus setAmbientShade(const float& ambient_shade);
    float shadowRadius(MStatus* ReturnStatus = NULL) const;
    MStatus setShadowRadius(const float& shadow_radius);
};

#endif
