#ifndef _MEulerRotation
#define _MEulerRotation

#include <maya/MIOStreamFwd.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MEulerRotation {
  public:
    enum RotationOrder { kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX };
    MEulerRotation();
    MEulerRotation(const MEulerRotation& src);
    MEulerRotation(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    ~MEulerRotation();
    MEulerRotation& operator=(const MEulerRotation& src);
    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MQuaternion asQuaternion() const;
    MMatrix asMatrix() const;
    MVector asVector() const;
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    MEulerRotation operator-() const;
    bool operator==(const MEulerRotation& other) const;
    bool operator!=(const MEulerRotation& other) const;
    bool isEquivalent(const MEulerRotation& other, double tolerance = 1.0e-10) const;
    MEulerRotation reorder(RotationOrder ord) const;
    static MEulerRotation decompose(const MMatrix& matrix, RotationOrder ord);

    static const MEulerRotation identity;
    double x, y, z;
    RotationOrder order;
};

#endif
