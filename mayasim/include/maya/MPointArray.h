#ifndef _MPointArray
#define _MPointArray

#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MPointArray {
  public:
    MPointArray();
    MPointArray(const MPointArray& other);
    MPointArray(const MPoint src[], unsigned int count);
    MPointArray(unsigned int initialSize, const MPoint& initialValue = MPoint::origin);
    ~MPointArray();
    MPointArray& operator=(const MPointArray& other);
    MStatus set(const MPoint& element, unsigned int index);
    MStatus append(double x, double y, double z = 0, double w = 1);
    MStatus set(unsigned int index, double x, double y, double z = 0, double w = 1);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MPoint& element, unsigned int index);
    MStatus append(const MPoint& element);
    MStatus copy(const MPointArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MPoint& operator[](unsigned int index);
    const MPoint& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
