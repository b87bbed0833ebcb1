#ifndef _MFnAnimCurve
#define _MFnAnimCurve

#include <maya/MAngle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MIntArray.h>
#include <maya/MTime.h>
#include <maya/MTimeArray.h>

class OPENMAYAANIM_EXPORT MFnAnimCurve : public MFnDependencyNode {
    declareMFn(MFnAnimCurve, MFnDependencyNode);

  public:
    enum AnimCurveType {
        kAnimCurveTA = 0,
        kAnimCurveTL,
        kAnimCurveTT,
        kAnimCurveTU,
        kAnimCurveUA,
        kAnimCurveUL,
        kAnimCurveUT,
        kAnimCurveUU,
        kAnimCurveUnknown
    };
    enum TangentType {
        kTangentGlobal = 0,
        kTangentFixed,
        kTangentLinear,
        kTangentFlat,
        kTangentSmooth,
        kTangentStep,
        kTangentSlow,
        kTangentFast,
        kTangentClamped,
        kTangentPlateau,
        kTangentStepNext,
        kTangentAuto
    };
    enum InfinityType { kConstant = 0, kLinear = 1, kCycle = 3, kCycleRelative = 4, kOscillate = 5 };

    MObject create(const MPlug& plug, MDGModifier* modifier = NULL, MStatus* ReturnStatus = NULL);
    MObject create(const MPlug& plug, AnimCurveType animCurveType, MDGModifier* modifier = NULL,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MObject& node, const MObject& attribute, MDGModifier* modifier = NULL,
                   MStatus* ReturnStatus = NULL);
    MObject create(AnimCurveType animCurveType, MDGModifier* modifier = NULL, MStatus* ReturnStatus = NULL);

    AnimCurveType animCurveType(MStatus* ReturnStatus = NULL) const;
    bool isTimeInput(MStatus* ReturnStatus = NULL) const;
    bool isUnitlessInput(MStatus* ReturnStatus = NULL) const;
    bool isStatic(MStatus* ReturnStatus = NULL) const;
    unsigned int numKeys(MStatus* ReturnStatus = NULL) const;
    unsigned int numKeyframes(MStatus* ReturnStatus = NULL) const;
    MStatus remove(unsigned int index, MAnimCurveChange* change = NULL);
    unsigned int addKey(const MTime& time, double value, TangentType tangentInType = kTangentGlobal,
                        TangentType tangentOutType = kTangentGlobal, MAnimCurveChange* change = NULL,
                        MStatus* ReturnStatus = NULL);
    unsigned int addKey(double unitlessInput, double value, TangentType tangentInType = kTangentGlobal,
                        TangentType tangentOutType = kTangentGlobal, MAnimCurveChange* change = NULL,
                        MStatus* ReturnStatus = NULL);
    MStatus addKeys(MTimeArray* times, MDoubleArray* values, TangentType tangentInType = kTangentGlobal,
                    TangentType tangentOutType = kTangentGlobal, bool keepExistingKeys = false,
                    MAnimCurveChange* change = NULL);
    bool find(const MTime& time, unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MTime time(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double value(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double unitlessInput(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MStatus setValue(unsigned int index, double value, MAnimCurveChange* change = NULL);
    MStatus setTime(unsigned int index, const MTime& time, MAnimCurveChange* change = NULL);
    TangentType inTangentType(unsigned int index, MStatus* ReturnStatus = NULL) const;
    TangentType outTangentType(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MStatus evaluate(const MTime& atTime, double& value) const;
    double evaluate(const MTime& atTime, MStatus* ReturnStatus = NULL) const;
    MStatus evaluate(const double& atUnitlessInput, double& value) const;
};

#endif
