#ifndef _MMeshSmoothOptions
#define _MMeshSmoothOptions

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Smoothing settings of a mesh; the stand-in keeps the values but never smooths.
class OPENMAYA_EXPORT MMeshSmoothOptions {
  public:
    MMeshSmoothOptions();
    ~MMeshSmoothOptions();
    void setDivisions(int numDivisions);
    int divisions() const;
    void setSmoothUVs(bool smoothUVs);
    bool smoothUVs() const;

  private:
    MMeshSmoothOptions(const MMeshSmoothOptions&);
    MMeshSmoothOptions& operator=(const MMeshSmoothOptions&);
    int fDivisions;
    bool fSmoothUVs;
};

#endif
