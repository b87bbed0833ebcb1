#ifndef _MFnIkJoint
#define _MFnIkJoint

#include <maya/MFnTransform.h>
#include <maya/MObject.h>
#include <maya/MTransformationMatrix.h>

class OPENMAYAANIM_EXPORT MFnIkJoint : public MFnTransform {
    declareDagMFn(MFnIkJoint, MFnTransform);

  public:
    MObject create(MObject parent = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MStatus getOrientation(MQuaternion& quaternion) const;
    MStatus setOrientation(const MQuaternion& quaternion);
    MStatus getOrientation(MEulerRotation& rotation) const;
    MStatus setOrientation(const MEulerRotation& rotation);
    MStatus getScaleOrientation(MQuaternion& quaternion) const;
    MStatus setScaleOrientation(const MQuaternion& quaternion);
    MStatus getPreferedAngle(double rotation[3]) const;
    MStatus setPreferedAngle(const double rotation[3]);
};

#endif
