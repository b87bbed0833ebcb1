#ifndef _MFnBlinnShader
#define _MFnBlinnShader

#include <maya/MFnReflectShader.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnBlinnShader : public MFnReflectShader {
    declareMFn(MFnBlinnShader, MFnReflectShader);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    float eccentricity(MStatus* ReturnStatus = NULL) const;
    MStatus setEccentricity(const float& eccentricity);
    float specularRollOff(MStatus* ReturnStatus = NULL) const;
    MStatus setSpecularRollOff(const float& specular_rolloff);
};

#endif
