#ifndef _MFnLambertShader
#define _MFnLambertShader

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnLambertShader : public MFnDependencyNode {
    declareMFn(MFnLambertShader, MFnDependencyNode);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    float diffuseCoeff(MStatus* ReturnStatus = NULL) const;
    MStatus setDiffuseCoeff(const float& diffuse_coeff);
    MColor color(MStatus* ReturnStatus = NULL) const;
    MStatus setColor(const MColor& col);
    MColor transparency(MStatus* ReturnStatus = NULL) const;
    MStatus setTransparency(const MColor& transp);
    MColor ambientColor(MStatus* ReturnStatus = NULL) const;
    MStatus setAmbientColor(const MColor& ambient_color);
    MColor incandescence(MStatus* ReturnStatus = NULL) const;
    MStatus setIncandescence(const MColor& incand);
};

#endif
