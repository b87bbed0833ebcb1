#ifndef _MItMeshPolygon
#define _MItMeshPolygon

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

class OPENMAYA_EXPORT MItMeshPolygon {
  public:
    MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshPolygon(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);
    virtual ~MItMeshPolygon();
    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus reset(const MObject& polyObject);
    MStatus reset(const MDagPath& polyObject, MObject& component = MObject::kNullObj);
    unsigned int count(MStatus* ReturnStatus = NULL);
    unsigned int polygonVertexCount(MStatus* ReturnStatus = NULL);
    MObject polygon(MStatus* ReturnStatus = NULL);
    MObject currentItem(MStatus* ReturnStatus = NULL);
    unsigned int index(MStatus* ReturnStatus = NULL);
    MStatus setIndex(int index, int& prevIndex);
    unsigned int vertexIndex(int index, MStatus* ReturnStatus = NULL);
    MStatus getVertices(MIntArray& vertices);
    MPoint point(int index, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus getNormal(MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getUVIndex(int vertex, int& index, const MString* uvSet = NULL);
    MStatus getUV(int vertex, float2& uvPoint, const MString* uvSet = NULL) const;
    bool hasUVs(MStatus* ReturnStatus = NULL) const;
    MStatus getColorIndex(int vertexIndex, int& colorIndex, const MString* colorSetName = NULL);
    MStatus getEdges(MIntArray& edges);

  private:
    MItMeshPolygon(const MItMeshPolygon&);
    MItMeshPolygon& operator=(const MItMeshPolygon&);
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[64];
};

#endif
