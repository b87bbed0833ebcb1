#ifndef _MSelectionMask
#define _MSelectionMask

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Declared because the devkit's MGlobal.h includes it; selection masks are not modelled.
class OPENMAYA_EXPORT MSelectionMask {
  public:
    enum SelectionType { kSelectHandles = 0, kSelectLocalAxis, kSelectMeshes = 12, kSelectJoints = 14 };
    MSelectionMask();
    MSelectionMask(SelectionType selType);
    MSelectionMask(const MSelectionMask& in);
    ~MSelectionMask();
    MSelectionMask& operator=(const MSelectionMask& other);
    MStatus addMask(SelectionType selType);
    bool intersects(SelectionType selType, MStatus* ReturnStatus = NULL) const;

  private:
    unsigned long long fMask;
};

#endif
