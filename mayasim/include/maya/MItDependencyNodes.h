#ifndef _MItDependencyNodes
#define _MItDependencyNodes

#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MItDependencyNodes {
  public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDependencyNodes();
    MStatus reset(MFn::Type filter = MFn::kInvalid);
    MObject thisNode(MStatus* ReturnStatus = NULL) const;
    MObject item(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    bool isDone(MStatus* ReturnStatus = NULL) const;

  private:
    MItDependencyNodes(const MItDependencyNodes&);
    MItDependencyNodes& operator=(const MItDependencyNodes&);
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
    unsigned int fPos;
};

#endif
