#ifndef _MFnMesh
#define _MFnMesh

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDagNode.h>
#include <maya/MMeshSmoothOptions.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MPoint.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#define kMFnMeshInstanceUnspecified -1

typedef int int2[2];

class OPENMAYA_EXPORT MFnMesh : public MFnDagNode {
    declareDagMFn(MFnMesh, MFnDagNode);

  public:
    enum MColorRepresentation { kAlpha = 1, kRGB = 3, kRGBA = 4 };

    MObject create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);

    int numVertices(MStatus* ReturnStatus = NULL) const;
    int numEdges(MStatus* ReturnStatus = NULL) const;
    int numPolygons(MStatus* ReturnStatus = NULL) const;
    int numFaceVertices(MStatus* ReturnStatus = NULL) const;
    int polygonVertexCount(int polygonId, MStatus* ReturnStatus = NULL) const;
    MStatus getPolygonVertices(int polygonId, MIntArray& vertexList) const;
    MStatus getVertices(MIntArray& vertexCount, MIntArray& vertexList) const;
    MStatus getEdgeVertices(int edgeId, int2& vertexList) const;
    MStatus getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space = MSpace::kObject) const;

    MStatus getPoints(MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus getPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoints(MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus setPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus getPoint(int vertexId, MPoint& pos, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoint(int vertexId, const MPoint& pos, MSpace::Space space = MSpace::kObject);

    bool isEdgeSmooth(int edgeId, MStatus* ReturnStatus = NULL) const;
    MStatus setEdgeSmoothing(int edgeId, bool smooth = true);
    MStatus cleanupEdgeSmoothing();

    MStatus getConnectedShaders(unsigned int instanceNumber, MObjectArray& shaders, MIntArray& indices) const;

    int numUVSets(MStatus* ReturnStatus = NULL) const;
    int numUVs(MStatus* ReturnStatus = NULL) const;
    int numUVs(const MString& uvSet, MStatus* ReturnStatus = NULL) const;
    MStatus getUVSetNames(MStringArray& setNames) const;
    MStatus getCurrentUVSetName(MString& setName, int instance = kMFnMeshInstanceUnspecified) const;
    MString currentUVSetName(MStatus* ReturnStatus = NULL, int instance = kMFnMeshInstanceUnspecified) const;
    MStatus setCurrentUVSetName(const MString& setName, MDGModifier* modifier = NULL,
                                MSelectionList* currentSelection = NULL);
    MStatus createUVSet(MString& uvSetName, MDGModifier* modifier = NULL, const MUintArray* instances = NULL);
    MString createUVSetWithName(const MString& uvSetName, MDGModifier* modifier = NULL,
                                const MUintArray* instances = NULL, MStatus* ReturnStatus = NULL);
    MStatus renameUVSet(const MString& origName, const MString& newName, MDGModifier* modifier = NULL);
    MStatus deleteUVSet(const MString& setName, MDGModifier* modifier = NULL,
                        MSelectionList* currentSelection = NULL);
    MStatus setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet = NULL);
    MStatus getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet = NULL) const;
    MStatus assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet = NULL);
    MStatus getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet = NULL) const;
    MStatus getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet = NULL) const;

    int numColorSets(MStatus* ReturnStatus = NULL) const;
    int numColors(MStatus* ReturnStatus = NULL) const;
    int numColors(const MString& colorSet, MStatus* ReturnStatus = NULL) const;
    MStatus getColorSetNames(MStringArray& setNames) const;
    MStatus getCurrentColorSetName(MString& setName, int instance = kMFnMeshInstanceUnspecified) const;
    MString currentColorSetName(int instance = kMFnMeshInstanceUnspecified,
                                MStatus* ReturnStatus = NULL) const;
    MStatus createColorSet(MString& colorSetName, MDGModifier* modifier = NULL,
                           const MUintArray* instances = NULL);
    MStatus createColorSet(MString& colorSetName, MDGModifier* modifier, bool clamped,
                           MColorRepresentation rep, const MUintArray* instances = NULL);
    MStatus setCurrentColorSetName(const MString& setName, MDGModifier* modifier = NULL,
                                   MSelectionList* currentSelection = NULL);
    MStatus getColors(MColorArray& colors, const MString* colorSet = NULL,
                      const MColor* defaultUnsetColor = NULL) const;
    MStatus setColors(const MColorArray& colors, const MString* colorSet = NULL,
                      MColorRepresentation rep = kRGBA);
    MStatus assignColors(const MIntArray& colorIds, const MString* colorSet = NULL);
    MStatus getFaceVertexColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                                    const MString* colorSet = NULL);
    MStatus setVertexColors(MColorArray& colors, MIntArray& vertexList, MDGModifier* modifier = NULL);
};

#endif
