#ifndef _MDistance
#define _MDistance

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MDistance {
  public:
    enum Unit {
        kInvalid,
        kInches,
        kFeet,
        kYards,
        kMiles,
        kMillimeters,
        kCentimeters,
        kKilometers,
        kMeters,
        kLast
    };
    MDistance();
    MDistance(const MDistance& src);
    MDistance(double value, Unit unitSystem = kCentimeters);
    ~MDistance();
    MDistance& operator=(const MDistance& src);
    Unit unit() const;
    double value() const;
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    double as(Unit otherUnit, MStatus* ReturnStatus = NULL) const;
    double asCentimeters() const;
    double asMeters() const;
    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit();

  private:
    double fValue;
    Unit fUnit;
};

#endif
