#ifndef _MTransformationMatrix
#define _MTransformationMatrix

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MTransformationMatrix {
  public:
    enum RotationOrder { kInvalid, kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX, kLast };

    ~MTransformationMatrix();
    MTransformationMatrix();
    MTransformationMatrix(const MTransformationMatrix& src);
    MTransformationMatrix(const MMatrix& src);
    MTransformationMatrix& operator=(const MTransformationMatrix& src);
    MTransformationMatrix& operator=(const MMatrix& src);

    MMatrix asMatrix() const;
    MMatrix asMatrixInverse() const;
    MMatrix asRotateMatrix() const;
    MMatrix asScaleMatrix() const;

    MStatus getScale(double scale[3], MSpace::Space space) const;
    MStatus setScale(const double scale[3], MSpace::Space space);
    MStatus addScale(const double scale[3], MSpace::Space space);

    MQuaternion rotation() const;
    MTransformationMatrix& rotateTo(const MQuaternion& q);
    MTransformationMatrix& rotateTo(const MEulerRotation& e);
    MEulerRotation eulerRotation() const;

    MStatus getRotationQuaternion(double& x, double& y, double& z, double& w) const;
    MStatus setRotationQuaternion(double x, double y, double z, double w);
    MStatus getRotation(double[3], RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], RotationOrder order);
    RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    MStatus reorderRotation(const RotationOrder& order);

    MVector getTranslation(MSpace::Space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space);
    MStatus addTranslation(const MVector& vector, MSpace::Space);

    // Obsolete forms, still declared by the devkit.
    MStatus getRotation(double[3], RotationOrder& order, MSpace::Space) const;
    MStatus setRotation(const double rotation[3], RotationOrder order, MSpace::Space);
    MStatus getRotationQuaternion(double& x, double& y, double& z, double& w, MSpace::Space) const;
    MStatus setRotationQuaternion(double x, double y, double z, double w, MSpace::Space);

    bool isEquivalent(const MTransformationMatrix& other, double tolerance = 1.0e-10) const;
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const;

    static const MTransformationMatrix identity;

  private:
    friend struct mayasim::Access;
    double fTranslate[3];
    double fRotate[3];
    double fScale[3];
    RotationOrder fOrder;
};

#endif
