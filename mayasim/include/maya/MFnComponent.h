#ifndef _MFnComponent
#define _MFnComponent

#include <maya/MFnBase.h>
#include <maya/MObject.h>

class OPENMAYA_EXPORT MFnComponent : public MFnBase {
    declareMFn(MFnComponent, MFnBase);

  public:
    int elementCount(MStatus* ReturnStatus = NULL) const;
    MFn::Type componentType(MStatus* ReturnStatus = NULL) const;
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    bool isComplete(MStatus* ReturnStatus = NULL) const;
    MStatus setComplete(bool complete);
};

#endif
