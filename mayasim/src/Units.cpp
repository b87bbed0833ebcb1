// Time, angle and distance values with their units.
#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <cmath>

#include "HostState.h"

namespace mayasim {

// Seconds per unit; 0 for units without a fixed length.
double secondsPerUnit(int unit) {
    static const double fps[] = {2,   3,   4,   5,   6,    8,    10,   12,   16,  20,  40,
                                 75,  80,  100, 120, 125,  150,  200,  240,  250, 300, 375,
                                 400, 500, 600, 750, 1200, 1500, 2000, 3000, 6000};
    switch (unit) {
        case MTime::kHours:
            return 3600.0;
        case MTime::kMinutes:
            return 60.0;
        case MTime::kSeconds:
            return 1.0;
        case MTime::kMilliseconds:
            return 0.001;
        case MTime::kGames:
            return 1.0 / 15.0;
        case MTime::kFilm:
            return 1.0 / 24.0;
        case MTime::kPALFrame:
            return 1.0 / 25.0;
        case MTime::kNTSCFrame:
            return 1.0 / 30.0;
        case MTime::kShowScan:
            return 1.0 / 48.0;
        case MTime::kPALField:
            return 1.0 / 50.0;
        case MTime::kNTSCField:
            return 1.0 / 60.0;
        default:
            break;
    }
    if (unit >= MTime::k2FPS && unit <= MTime::k6000FPS) return 1.0 / fps[unit - MTime::k2FPS];
    return 0.0;
}

}  // namespace mayasim

using mayasim::secondsPerUnit;

namespace {
bool validTimeUnit(MTime::Unit u) {
    return secondsPerUnit(u) > 0;
}
double seconds(const MTime& t) {
    return t.as(MTime::kSeconds);
}
// Times compare at a resolution far below any frame (the host counts in ticks).
constexpr double kTimeEpsilon = 1.0e-9;
}  // namespace

MTime::MTime() : fValue(0), fUnit(kFilm) {}
MTime::MTime(const MTime&) = default;
MTime::MTime(double v, Unit u) : fValue(v), fUnit(validTimeUnit(u) ? u : kFilm) {}
MTime::~MTime() = default;
MTime::Unit MTime::unit() const {
    return fUnit;
}
double MTime::value() const {
    return fValue;
}
MStatus MTime::setUnit(Unit u) {
    if (!validTimeUnit(u)) return MS::kInvalidParameter;
    fValue = as(u);
    fUnit = u;
    return MS::kSuccess;
}
MStatus MTime::setValue(double v) {
    fValue = v;
    return MS::kSuccess;
}
double MTime::as(Unit other) const {
    double to = secondsPerUnit(other);
    return to > 0 ? fValue * secondsPerUnit(fUnit) / to : 0.0;
}
double MTime::asUnits(Unit other) const {
    return as(other);
}
MTime::Unit MTime::uiUnit() {
    return static_cast<Unit>(mayasim::host().time.uiUnit);
}
MStatus MTime::setUIUnit(Unit u) {
    if (!validTimeUnit(u)) return MS::kInvalidParameter;
    mayasim::host().time.uiUnit = u;
    return MS::kSuccess;
}
MTime& MTime::operator=(const MTime& rhs) = default;
bool MTime::operator==(const MTime& rhs) const {
    return std::fabs(seconds(*this) - seconds(rhs)) <= kTimeEpsilon;
}
bool MTime::operator!=(const MTime& rhs) const {
    return !(*this == rhs);
}
bool MTime::operator<(const MTime& rhs) const {
    return seconds(*this) < seconds(rhs) - kTimeEpsilon;
}
bool MTime::operator>(const MTime& rhs) const {
    return rhs < *this;
}
bool MTime::operator<=(const MTime& rhs) const {
    return !(rhs < *this);
}
bool MTime::operator>=(const MTime& rhs) const {
    return !(*this < rhs);
}
MTime MTime::operator+(const MTime& rhs) const {
    return MTime(fValue + rhs.as(fUnit), fUnit);
}
MTime MTime::operator+(double rhs) const {
    return MTime(fValue + rhs, fUnit);
}
MTime& MTime::operator+=(const MTime& rhs) {
    return *this = *this + rhs;
}
MTime& MTime::operator+=(double rhs) {
    return *this = *this + rhs;
}
MTime MTime::operator-(const MTime& rhs) const {
    return MTime(fValue - rhs.as(fUnit), fUnit);
}
MTime MTime::operator-(double rhs) const {
    return MTime(fValue - rhs, fUnit);
}
MTime& MTime::operator-=(const MTime& rhs) {
    return *this = *this - rhs;
}
MTime& MTime::operator-=(double rhs) {
    return *this = *this - rhs;
}
MTime MTime::operator*(double rhs) const {
    return MTime(fValue * rhs, fUnit);
}
MTime& MTime::operator*=(double rhs) {
    return *this = *this * rhs;
}
MTime MTime::operator/(double rhs) const {
    return MTime(fValue / rhs, fUnit);
}
MTime& MTime::operator/=(double rhs) {
    return *this = *this / rhs;
}

// ---- MAngle ----
namespace {
double radiansPer(MAngle::Unit u) {
    constexpr double kPi = 3.14159265358979323846;
    switch (u) {
        case MAngle::kRadians:
            return 1.0;
        case MAngle::kDegrees:
            return kPi / 180.0;
        case MAngle::kAngMinutes:
            return kPi / (180.0 * 60.0);
        case MAngle::kAngSeconds:
            return kPi / (180.0 * 3600.0);
        default:
            return 0.0;
    }
}
}  // namespace

MAngle::MAngle() : fValue(0), fUnit(kRadians) {}
MAngle::MAngle(const MAngle&) = default;
MAngle::MAngle(double v, Unit u) : fValue(v), fUnit(radiansPer(u) > 0 ? u : kRadians) {}
MAngle::~MAngle() = default;
MAngle& MAngle::operator=(const MAngle&) = default;
MAngle::Unit MAngle::unit() const {
    return fUnit;
}
double MAngle::value() const {
    return fValue;
}
MStatus MAngle::setUnit(Unit u) {
    if (radiansPer(u) <= 0) return MS::kInvalidParameter;
    fUnit = u;
    return MS::kSuccess;
}
MStatus MAngle::setValue(double v) {
    fValue = v;
    return MS::kSuccess;
}
double MAngle::as(Unit other, MStatus* ReturnStatus) const {
    double to = radiansPer(other);
    if (ReturnStatus) *ReturnStatus = to > 0 ? MS::kSuccess : MS::kInvalidParameter;
    return to > 0 ? fValue * radiansPer(fUnit) / to : 0.0;
}
double MAngle::asRadians() const {
    return as(kRadians);
}
double MAngle::asDegrees() const {
    return as(kDegrees);
}
MAngle::Unit MAngle::uiUnit() {
    return static_cast<Unit>(mayasim::host().angleUiUnit);
}
MStatus MAngle::setUIUnit(Unit u) {
    if (radiansPer(u) <= 0) return MS::kInvalidParameter;
    mayasim::host().angleUiUnit = u;
    return MS::kSuccess;
}
MAngle::Unit MAngle::internalUnit() {
    return kRadians;
}

// ---- MDistance ----
namespace {
double centimetresPer(MDistance::Unit u) {
    switch (u) {
        case MDistance::kInches:
            return 2.54;
        case MDistance::kFeet:
            return 30.48;
        case MDistance::kYards:
            return 91.44;
        case MDistance::kMiles:
            return 160934.4;
        case MDistance::kMillimeters:
            return 0.1;
        case MDistance::kCentimeters:
            return 1.0;
        case MDistance::kKilometers:
            return 100000.0;
        case MDistance::kMeters:
            return 100.0;
        default:
            return 0.0;
    }
}
}  // namespace

MDistance::MDistance() : fValue(0), fUnit(kCentimeters) {}
MDistance::MDistance(const MDistance&) = default;
MDistance::MDistance(double v, Unit u) : fValue(v), fUnit(centimetresPer(u) > 0 ? u : kCentimeters) {}
MDistance::~MDistance() = default;
MDistance& MDistance::operator=(const MDistance&) = default;
MDistance::Unit MDistance::unit() const {
    return fUnit;
}
double MDistance::value() const {
    return fValue;
}
MStatus MDistance::setUnit(Unit u) {
    if (centimetresPer(u) <= 0) return MS::kInvalidParameter;
    fUnit = u;
    return MS::kSuccess;
}
MStatus MDistance::setValue(double v) {
    fValue = v;
    return MS::kSuccess;
}
double MDistance::as(Unit other, MStatus* ReturnStatus) const {
    double to = centimetresPer(other);
    if (ReturnStatus) *ReturnStatus = to > 0 ? MS::kSuccess : MS::kInvalidParameter;
    return to > 0 ? fValue * centimetresPer(fUnit) / to : 0.0;
}
double MDistance::asCentimeters() const {
    return as(kCentimeters);
}
double MDistance::asMeters() const {
    return as(kMeters);
}
MDistance::Unit MDistance::uiUnit() {
    return static_cast<Unit>(mayasim::host().distanceUiUnit);
}
MStatus MDistance::setUIUnit(Unit u) {
    if (centimetresPer(u) <= 0) return MS::kInvalidParameter;
    mayasim::host().distanceUiUnit = u;
    return MS::kSuccess;
}
MDistance::Unit MDistance::internalUnit() {
    return kCentimeters;
}
