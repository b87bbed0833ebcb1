#ifndef _MFnSet
#define _MFnSet

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MString.h>

class OPENMAYA_EXPORT MFnSet : public MFnDependencyNode {
    declareMFn(MFnSet, MFnDependencyNode);

  public:
    enum Restriction { kNone, kVerticesOnly, kEdgesOnly, kFacetsOnly, kEditPointsOnly, kRenderableOnly };

    MObject create(const MSelectionList& members, Restriction restriction = kNone,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MSelectionList& members, Restriction restriction = kNone, bool isLayer = false,
                   MStatus* ReturnStatus = NULL);
    MStatus getMembers(MSelectionList& members, bool flatten) const;
    MStatus addMember(const MObject& obj);
    MStatus addMember(const MDagPath& obj, const MObject& component = MObject::kNullObj);
    MStatus addMembers(const MSelectionList& list);
    bool isMember(const MObject& object, MStatus* ReturnStatus = NULL) const;
    bool isMember(const MDagPath& object, const MObject& component = MObject::kNullObj,
                  MStatus* ReturnStatus = NULL) const;
    Restriction restriction(MStatus* ReturnStatus = NULL) const;
};

#endif
