#ifndef _MFnPhongShader
#define _MFnPhongShader

#include <maya/MFnReflectShader.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnPhongShader : public MFnReflectShader {
    declareMFn(MFnPhongShader, MFnReflectShader);

  public:
    MObject create(bool UIvisible = true, MStatus* ReturnStatus = NULL);
    float cosPower(MStatus* ReturnStatus = NULL) const;
    MStatus setCosPower(const float& cos_power);
};

#endif
