#ifndef _MQuaternion
#define _MQuaternion

#include <maya/MStatus.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

// Quaternions multiply in the order their matrices do: (a * b).asMatrix() == a.asMatrix() * b.asMatrix().
class OPENMAYA_EXPORT MQuaternion {
  public:
    MQuaternion();
    MQuaternion(const MQuaternion& src);
    MQuaternion(double xx, double yy, double zz, double ww);
    MQuaternion(const double q[4]);
    MQuaternion(const MVector& a, const MVector& b);
    MQuaternion(double angle, const MVector& axisb);
    ~MQuaternion();
    MQuaternion& operator=(const MQuaternion& src);
    MQuaternion& operator=(const MMatrix& matrix);
    MQuaternion& operator=(const MEulerRotation& euler);
    MMatrix asMatrix() const;
    MEulerRotation asEulerRotation() const;
    MQuaternion& setAxisAngle(const MVector& axis, double theta);
    bool getAxisAngle(MVector& axis, double& theta) const;
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    MQuaternion operator+(const MQuaternion& other) const;
    MQuaternion operator*(const MQuaternion& other) const;
    MQuaternion& operator*=(const MQuaternion& rhs);
    MQuaternion operator-() const;
    bool operator==(const MQuaternion& other) const;
    bool operator!=(const MQuaternion& other) const;
    bool isEquivalent(const MQuaternion& other, double tolerance = 1.0e-10) const;
    MQuaternion normal() const;
    MQuaternion& normalizeIt();
    MQuaternion conjugate() const;
    MQuaternion inverse() const;

    static const MQuaternion identity;
    double x, y, z, w;
};

#endif
