#ifndef _MMatrix
#define _MMatrix

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// 4x4 double matrix; points are row vectors (p * M), so translation sits in row 3.
class OPENMAYA_EXPORT MMatrix {
  public:
    MMatrix();
    MMatrix(const MMatrix& src);
    MMatrix(const double m[4][4]);
    MMatrix(const float m[4][4]);
    ~MMatrix();
    MMatrix& operator=(const MMatrix&);
    double operator()(unsigned int row, unsigned int col) const;
    const double* operator[](unsigned int row) const;
    double& operator()(unsigned int row, unsigned int col);
    double* operator[](unsigned int row);
    MStatus get(double dest[4][4]) const;
    MStatus get(float dest[4][4]) const;
    MMatrix transpose() const;
    MMatrix& setToIdentity();
    MMatrix& setToProduct(const MMatrix& left, const MMatrix& right);
    MMatrix& operator+=(const MMatrix& right);
    MMatrix operator+(const MMatrix& right) const;
    MMatrix& operator-=(const MMatrix& right);
    MMatrix operator-(const MMatrix& right) const;
    MMatrix& operator*=(const MMatrix& right);
    MMatrix operator*(const MMatrix& right) const;
    MMatrix& operator*=(double);
    MMatrix operator*(double) const;
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const;
    MMatrix inverse() const;
    MMatrix adjoint() const;
    MMatrix homogenize() const;
    double det4x4() const;
    double det3x3() const;
    bool isEquivalent(const MMatrix& other, double tolerance = 1.0e-10) const;
    bool isSingular() const;

    static const MMatrix identity;
    double matrix[4][4];
};

#endif
