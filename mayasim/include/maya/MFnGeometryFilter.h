#ifndef _MFnGeometryFilter
#define _MFnGeometryFilter

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>

class OPENMAYAANIM_EXPORT MFnGeometryFilter : public MFnDependencyNode {
    declareMFn(MFnGeometryFilter, MFnDependencyNode);

  public:
    MStatus getInputGeometry(MObjectArray& objects) const;
    MStatus getOutputGeometry(MObjectArray& objects) const;
    MObject inputShapeAtIndex(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MObject outputShapeAtIndex(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MStatus getPathAtIndex(unsigned int index, MDagPath& path) const;
    unsigned int indexForOutputShape(const MObject& shape, MStatus* ReturnStatus = NULL) const;
    unsigned int numOutputConnections(MStatus* ReturnStatus = NULL) const;
    unsigned int indexForOutputConnection(unsigned int connectionIndex, MStatus* ReturnStatus = NULL) const;
    MObject deformerSet(MStatus* ReturnStatus = NULL) const;
    float envelope(MStatus* ReturnStatus = NULL) const;
    MStatus setEnvelope(float envelope);
};

#endif
