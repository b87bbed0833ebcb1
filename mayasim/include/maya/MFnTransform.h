#ifndef _MFnTransform
#define _MFnTransform

#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MTransformationMatrix.h>

class OPENMAYA_EXPORT MFnTransform : public MFnDagNode {
    declareDagMFn(MFnTransform, MFnDagNode);

  public:
    MObject create(MObject parent = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MTransformationMatrix& transform);

    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vec, MSpace::Space space);
    MStatus translateBy(const MVector& vec, MSpace::Space space);

    MStatus getScale(double scale[3]) const;
    MStatus setScale(const double scale[3]);
    MStatus getShear(double shear[3]) const;
    MStatus setShear(const double shear[3]);

    MStatus getRotation(double rotation[3], MTransformationMatrix::RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], MTransformationMatrix::RotationOrder order);
    MStatus getRotation(MQuaternion& quaternion, MSpace::Space = MSpace::kTransform) const;
    MStatus setRotation(const MQuaternion& quaternion, MSpace::Space = MSpace::kTransform);
    MStatus getRotation(MEulerRotation& rotation) const;
    MStatus setRotation(const MEulerRotation& rotation);
    MStatus getRotationQuaternion(double& x, double& y, double& z, double& w,
                                  MSpace::Space = MSpace::kTransform) const;
    MStatus setRotationQuaternion(double x, double y, double z, double w, MSpace::Space = MSpace::kTransform);

    MTransformationMatrix::RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    MStatus setRotationOrder(MTransformationMatrix::RotationOrder order, bool reorder);
};

#endif
