#ifndef _MFloatVector
#define _MFloatVector

#include <maya/MTypes.h>

class OPENMAYA_EXPORT MFloatVector {
  public:
    MFloatVector();
    MFloatVector(const MFloatVector&);
    MFloatVector(const MVector&);
    MFloatVector(const MFloatPoint&);
    MFloatVector(float xx, float yy, float zz = 0.0);
    ~MFloatVector();
    MFloatVector& operator=(const MFloatVector& src);
    float operator()(unsigned int i) const;
    float operator[](unsigned int i) const;
    float& operator[](unsigned int i);
    MFloatVector operator^(const MFloatVector& right) const;
    float operator*(const MFloatVector& right) const;
    MFloatVector operator+(const MFloatVector& other) const;
    MFloatVector operator-(const MFloatVector& other) const;
    MFloatVector operator-() const;
    MFloatVector operator*(float scalar) const;
    MFloatVector operator/(float scalar) const;
    bool operator==(const MFloatVector& other) const;
    bool operator!=(const MFloatVector& other) const;
    float length() const;
    MFloatVector normal() const;
    MStatus normalize();
    bool isEquivalent(const MFloatVector& other, float tolerance = 1.0e-5f) const;

    static const MFloatVector zero;
    static const MFloatVector xAxis;
    static const MFloatVector yAxis;
    static const MFloatVector zAxis;
    float x, y, z;
};

#endif
