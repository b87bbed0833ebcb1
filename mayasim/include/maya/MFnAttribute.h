#ifndef _MFnAttribute
#define _MFnAttribute

#include <maya/MFnBase.h>

class OPENMAYA_EXPORT MFnAttribute : public MFnBase {
    declareMFn(MFnAttribute, MFnBase);

  public:
    MString name(MStatus* ReturnStatus = NULL) const;
    MString shortName(MStatus* ReturnStatus = NULL) const;
    bool isReadable(MStatus* ReturnStatus = NULL) const;
    bool isWritable(MStatus* ReturnStatus = NULL) const;
    bool isConnectable(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    bool isArray(MStatus* ReturnStatus = NULL) const;
    MObject parent(MStatus* ReturnStatus = NULL) const;
};

#endif
