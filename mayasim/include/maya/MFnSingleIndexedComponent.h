#ifndef _MFnSingleIndexedComponent
#define _MFnSingleIndexedComponent

#include <maya/MFnBase.h>
#include <maya/MFnComponent.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MFnSingleIndexedComponent : public MFnComponent {
    declareMFn(MFnSingleIndexedComponent, MFnComponent);

  public:
    MObject create(MFn::Type compType, MStatus* ReturnStatus = NULL);
    MStatus addElement(int element);
    MStatus addElements(MIntArray& elements);
    int element(int index, MStatus* ReturnStatus = NULL) const;
    MStatus getElements(MIntArray& elements) const;
    MStatus setCompleteData(int numElements);
    MStatus getCompleteData(int& numElements) const;
};

#endif
