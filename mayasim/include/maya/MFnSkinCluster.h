#ifndef _MFnSkinCluster
#define _MFnSkinCluster

#include <maya/MFnGeometryFilter.h>
#include <maya/MObject.h>

class OPENMAYAANIM_EXPORT MFnSkinCluster : public MFnGeometryFilter {
    declareMFn(MFnSkinCluster, MFnGeometryFilter);

  public:
    MStatus getWeights(const MDagPath& path, const MObject& components, unsigned int influence,
                       MDoubleArray& weights) const;
    MStatus getWeights(const MDagPath& path, const MObject& components, MDoubleArray& weights,
                       unsigned int& influenceCount) const;
    MStatus getWeights(const MDagPath& path, const MObject& components, MIntArray& influenceIndices,
                       MDoubleArray& weights) const;
    MStatus setWeights(const MDagPath& path, const MObject& components, unsigned int jointIndex, double value,
                       bool normalize = true, MDoubleArray* oldValues = NULL);
    MStatus setWeights(const MDagPath& path, const MObject& components, MIntArray& influenceIndices,
                       MDoubleArray& values, bool normalize = true, MDoubleArray* oldValues = NULL);
    unsigned int indexForInfluenceObject(const MDagPath& path, MStatus* ReturnStatus = NULL) const;
    unsigned int influenceObjects(MDagPathArray& paths, MStatus* ReturnStatus = NULL) const;
};

#endif
