#ifndef _MItMeshEdge
#define _MItMeshEdge

#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

class OPENMAYA_EXPORT MItMeshEdge {
  public:
    MItMeshEdge(MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshEdge(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                MStatus* ReturnStatus = NULL);
    virtual ~MItMeshEdge();
    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    unsigned int count(MStatus* ReturnStatus = NULL);
    int index(MStatus* ReturnStatus = NULL) const;
    int index(int vertexId, MStatus* ReturnStatus = NULL);
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MStatus setIndex(int index, int& prevIndex);
    bool isSmooth(MStatus* ReturnStatus = NULL) const;
    MStatus setSmoothing(bool smooth = true);
    MPoint point(int index, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);

  private:
    MItMeshEdge(const MItMeshEdge&);
    MItMeshEdge& operator=(const MItMeshEdge&);
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[64];
};

#endif
