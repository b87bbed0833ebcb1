#ifndef _MItDag
#define _MItDag

#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MItDag {
  public:
    enum TraversalType { kInvalidType = 0, kDepthFirst, kBreadthFirst };
    MItDag(TraversalType = kDepthFirst, MFn::Type = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDag();
    MStatus reset();
    MStatus reset(const MObject& object, TraversalType = kDepthFirst, MFn::Type = MFn::kInvalid);
    MObject item(MStatus* ReturnStatus = NULL);
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus prune();
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MObject root(MStatus* ReturnStatus = NULL);
    unsigned int depth(MStatus* ReturnStatus = NULL) const;
    TraversalType getType(MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;

  private:
    MItDag(const MItDag&);
    MItDag& operator=(const MItDag&);
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
    unsigned int fPos;
    MObject fRoot;
    TraversalType fType;
    MFn::Type fFilter;
};

#endif
