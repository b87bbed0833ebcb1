#ifndef _MFloatPoint
#define _MFloatPoint

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MFloatPoint {
  public:
    MFloatPoint();
    MFloatPoint(const MFloatPoint&);
    MFloatPoint(const MPoint&);
    MFloatPoint(const MFloatVector&);
    MFloatPoint(float xx, float yy, float zz = 0.0, float ww = 1.0);
    ~MFloatPoint();
    MFloatPoint& operator=(const MFloatPoint& src);
    float operator[](unsigned int i) const;
    float& operator[](unsigned int i);
    MFloatPoint operator+(const MFloatVector& other) const;
    MFloatVector operator-(const MFloatPoint& other) const;
    bool operator==(const MFloatPoint& other) const;
    bool operator!=(const MFloatPoint& other) const;
    MStatus setCast(const MPoint& src);
    float distanceTo(const MFloatPoint& other) const;
    bool isEquivalent(const MFloatPoint& other, float tolerance = 1.0e-5f) const;

    static const MFloatPoint origin;
    float x, y, z, w;
};

#endif
