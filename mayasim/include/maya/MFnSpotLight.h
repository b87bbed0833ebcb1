#ifndef _MFnSpotLight
#define _MFnSpotLight

#include <maya/MFnNonExtendedLight.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnSpotLight : public MFnNonExtendedLight {
    declareDagMFn(MFnSpotLight, MFnNonExtendedLight);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, bool wantTransform = false,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& parent, bool UIvisible = true, MStatus* ReturnStatus = NULL);
    double coneAngle(MStatus* ReturnStatus = NULL) const;
    MStatus setConeAngle(const double& coneAngle);
    double penumbraAngle(MStatus* ReturnStatus = NULL) const;
    MStatus setPenumbraAngle(const double& penumbraAngle);
    double dropOff(MStatus* ReturnStatus = NULL) const;
    MStatus setDropOff(const double& dropOff);
};

#endif
