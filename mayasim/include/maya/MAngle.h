#ifndef _MAngle
#define _MAngle

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MAngle {
  public:
    enum Unit { kInvalid, kRadians, kDegrees, kAngMinutes, kAngSeconds, kLast };
    MAngle();
    MAngle(const MAngle& src);
    MAngle(double value, Unit u = kRadians);
    ~MAngle();
    MAngle& operator=(const MAngle& src);
    Unit unit() const;
    double value() const;
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    double as(Unit otherUnit, MStatus* ReturnStatus = NULL) const;
    double asRadians() const;
    double asDegrees() const;
    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit();

  private:
    double fValue;
    Unit fUnit;
};

#endif
