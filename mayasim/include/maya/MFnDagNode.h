#ifndef _MFnDagNode
#define _MFnDagNode

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>

class OPENMAYA_EXPORT MFnDagNode : public MFnDependencyNode {
    declareMinimalMFn(MFnDagNode);

  public:
    enum { kNextPos = 0xff };
    MFnDagNode();
    MFnDagNode(MObject& object, MStatus* ret = NULL);
    MFnDagNode(const MObject& object, MStatus* ret = NULL);
    MFnDagNode(const MDagPath& object, MStatus* ret = NULL);

    MObject create(const MString& type, MObject& parent = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(const MString& type, const MString& name, MObject& parent = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);
    unsigned int parentCount(MStatus* ReturnStatus = NULL) const;
    MObject parent(unsigned int i, MStatus* ReturnStatus = NULL) const;
    MStatus addChild(MObject& child, unsigned int index = kNextPos, bool keepExistingParents = false);
    MStatus removeChild(MObject& child);
    MStatus removeChildAt(unsigned int index);
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int i, MStatus* ReturnStatus = NULL) const;
    bool hasParent(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool hasChild(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isChildOf(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isParentOf(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isInstanced(bool indirect = true, MStatus* ReturnStatus = NULL) const;
    unsigned int instanceCount(bool total, MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path) const;
    MStatus getAllPaths(MDagPathArray& paths) const;
    MDagPath dagPath(MStatus* ReturnStatus = NULL) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    MMatrix transformationMatrix(MStatus* ReturnStatus = NULL) const;
    bool isIntermediateObject(MStatus* ReturnStatus = NULL) const;
    MStatus setIntermediateObject(bool isIntermediate);
    virtual MStatus setObject(const MDagPath& path);
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);
};

#endif
