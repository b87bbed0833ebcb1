#ifndef _MMeshSmoothOptions
#define _MMeshSmoothOptions

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Smoothing settings of a mesh; the stand-in keeps the values but never smooths.
class OPENMAYA_EXPORT MMeshSmoothOptions {
  public:
    MMeshSmoothOptions();
    ~MMeshSmoothOptions();
    void setDivisions(int numDivisions, MStatus* ReturnStatus = NULL);
    int divisions(MStatus* ReturnStatus = NULL) const;
    void setSmoothUVs(bool smoothUVs, MStatus* ReturnStatus = NULL);
    bool smoothUVs(MStatus* ReturnStatus = NULL) const;

  private:
    MMeshSmoothOptions(const MMeshSmoothOptions&);
    MMeshSmoothOptions& operator=(const MMeshSmoothOptions&);
    int fDivisions;
    bool fSmoothUVs;
};

#endif
