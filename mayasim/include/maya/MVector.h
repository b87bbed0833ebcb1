#ifndef _MVector
#define _MVector

#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MPoint.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MVector {
  public:
    enum Axis { kXaxis, kYaxis, kZaxis, kWaxis };
    MVector();
    MVector(const MVector&);
    MVector(const MFloatVector&);
    MVector(const MPoint&);
    MVector(const MFloatPoint&);
    MVector(double xx, double yy, double zz = 0.0);
    MVector(const double d[3]);
    ~MVector();
    MVector& operator=(const MVector& src);
    double operator()(unsigned int i) const;
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    MVector operator^(const MVector& right) const;
    double operator*(const MVector& right) const;
    MVector operator+(const MVector& other) const;
    MVector& operator+=(const MVector& other);
    MVector operator-(const MVector& other) const;
    MVector& operator-=(const MVector& other);
    MVector operator-() const;
    MVector operator*(double scalar) const;
    MVector& operator*=(double scalar);
    MVector operator/(double scalar) const;
    MVector operator*(const MMatrix&) const;
    bool operator==(const MVector& other) const;
    bool operator!=(const MVector& other) const;
    double length() const;
    MVector normal() const;
    MStatus normalize();
    double angle(const MVector& other) const;
    bool isEquivalent(const MVector& other, double tolerance = 1.0e-10) const;
    bool isParallel(const MVector& other, double tolerance = 1.0e-10) const;
    MStatus get(double dest[3]) const;

    friend OPENMAYA_EXPORT MVector operator*(int, const MVector&);
    friend OPENMAYA_EXPORT MVector operator*(double, const MVector&);

    static const MVector zero;
    static const MVector one;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;
    static const MVector xNegAxis;
    static const MVector yNegAxis;
    static const MVector zNegAxis;
    double x, y, z;
};

#endif
