#ifndef _MPoint
#define _MPoint

#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class OPENMAYA_EXPORT MPoint {
  public:
    MPoint();
    MPoint(const MPoint&);
    MPoint(const MFloatPoint&);
    MPoint(const MVector&);
    MPoint(const MFloatVector&);
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0);
    MPoint(const double d[4]);
    ~MPoint();
    MPoint& operator=(const MPoint& src);
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    MPoint operator+(const MVector& other) const;
    MPoint& operator+=(const MVector& other);
    MPoint operator-(const MVector& other) const;
    MVector operator-(const MPoint& other) const;
    MPoint operator*(double scale) const;
    MPoint operator*(const MMatrix&) const;
    MPoint& operator*=(const MMatrix&);
    bool operator==(const MPoint& other) const;
    bool operator!=(const MPoint& other) const;
    MPoint& cartesianize();
    double distanceTo(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = 1.0e-10) const;
    MStatus get(double dest[4]) const;

    static const MPoint origin;
    double x, y, z, w;
};

#endif
