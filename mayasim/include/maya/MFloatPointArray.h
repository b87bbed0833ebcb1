#ifndef _MFloatPointArray
#define _MFloatPointArray

#include <maya/MFloatPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MFloatPointArray {
  public:
    MFloatPointArray();
    MFloatPointArray(const MFloatPointArray& other);
    MFloatPointArray(const MFloatPoint src[], unsigned int count);
    MFloatPointArray(unsigned int initialSize, const MFloatPoint& initialValue = MFloatPoint::origin);
    ~MFloatPointArray();
    MFloatPointArray& operator=(const MFloatPointArray& other);
    MStatus set(const MFloatPoint& element, unsigned int index);
    MStatus append(float x, float y, float z = 0, float w = 1);
    MStatus set(unsigned int index, float x, float y, float z = 0, float w = 1);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MFloatPoint& element, unsigned int index);
    MStatus append(const MFloatPoint& element);
    MStatus copy(const MFloatPointArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MFloatPoint& operator[](unsigned int index);
    const MFloatPoint& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
