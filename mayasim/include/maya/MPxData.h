#ifndef _MPxData
#define _MPxData

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Declared because the devkit's MFnPlugin.h includes it; user-defined data is not modelled.
class OPENMAYA_EXPORT MPxData {
  public:
    enum Type { kData, kGeometryData, kLast };
    MPxData();
    virtual ~MPxData();
    virtual MString name() const = 0;
};

#endif
