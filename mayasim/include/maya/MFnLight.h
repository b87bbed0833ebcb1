#ifndef _MFnLight
#define _MFnLight

#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnLight : public MFnDagNode {
    declareDagMFn(MFnLight, MFnDagNode);

  public:
    MColor color(MStatus* ReturnStatus = NULL) const;
    MStatus setColor(const MColor& col);
    float intensity(MStatus* ReturnStatus = NULL) const;
    MStatus setIntensity(const float& intens);
    MFloatVector lightDirection(int instance, MSpace::Space space = MSpace::kWorld,
                                MStatus* ReturnStatus = NULL) const;
    MFloatVector lightDirection(MStatus* ReturnStatus = NULL) const;
    MColor shadowColor(MStatus* ReturnStatus = NULL) const;
    MStatus setShadowColor(const MColor& shadow_color);
};

#endif
