#ifndef _MItGeometry
#define _MItGeometry

#include <maya/MObject.h>

#include <cstddef>  // NULL, which the devkit's own headers bring in

class OPENMAYA_EXPORT MItGeometry {
  public:
    MItGeometry(const MDagPath& dagPath, MStatus* ReturnStatus = NULL);
    MItGeometry(const MDagPath& dagPath, MObject& component, MStatus* ReturnStatus = NULL);
    MItGeometry(MObject& dagObject, MStatus* ReturnStatus = NULL);
    virtual ~MItGeometry();
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MStatus reset();
    MPoint position(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    int index(MStatus* ReturnStatus = NULL) const;
    MObject currentItem(MStatus* ReturnStatus = NULL) const;
    MObject component(MStatus* ReturnStatus = NULL) const;
    int count(MStatus* ReturnStatus = NULL) const;

  private:
    MItGeometry(const MItGeometry&);
    MItGeometry& operator=(const MItGeometry&);
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[64];
};

#endif
