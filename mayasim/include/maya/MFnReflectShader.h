#ifndef _MFnReflectShader
#define _MFnReflectShader

#include <maya/MFnLambertShader.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnReflectShader : public MFnLambertShader {
    declareMFn(MFnReflectShader, MFnLambertShader);

  public:
    MColor specularColor(MStatus* ReturnStatus = NULL) const;
    MStatus setSpecularColor(const MColor& specular_color);
    float reflectivity(MStatus* ReturnStatus = NULL) const;
    MStatus setReflectivity(const float& reflect);
};

#endif
