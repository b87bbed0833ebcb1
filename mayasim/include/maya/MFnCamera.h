#ifndef _MFnCamera
#define _MFnCamera

#include <maya/MDGContext.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MFnCamera : public MFnDagNode {
    declareDagMFn(MFnCamera, MFnDagNode);

  public:
    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(MObject& parent, MStatus* ReturnStatus = NULL);
    MPoint eyePoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector viewDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector upDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector rightDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MStatus setHorizontalFieldOfView(double fov);
    double horizontalFieldOfView(MStatus* ReturnStatus = NULL) const;
    MStatus setVerticalFieldOfView(double fov);
    double verticalFieldOfView(MStatus* ReturnStatus = NULL) const;
    MStatus setFocalLength(double focalLength);
    double focalLength(MStatus* ReturnStatus = NULL) const;
    MStatus setHorizontalFilmAperture(double hFilmAperture);
    double horizontalFilmAperture(MStatus* ReturnStatus = NULL) const;
    MStatus setNearClippingPlane(double dNear);
    double nearClippingPlane(MStatus* ReturnStatus = NULL) const;
    MStatus setFarClippingPlane(double dFar);
    double farClippingPlane(MStatus* ReturnStatus = NULL) const;
    MStatus setIsOrtho(bool orthoState);
    MStatus setIsOrtho(bool orthoState, double useDist);
    bool isOrtho(MStatus* ReturnStatus = NULL) const;
    MStatus setOrthoWidth(double orthoWidth);
    double orthoWidth(MStatus* ReturnStatus = NULL) const;
};

#endif
