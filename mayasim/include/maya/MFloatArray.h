#ifndef _MFloatArray
#define _MFloatArray

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MFloatArray {
  public:
    MFloatArray();
    MFloatArray(const MFloatArray& other);
    MFloatArray(const float src[], unsigned int count);
    MFloatArray(unsigned int initialSize, float initialValue = 0);
    ~MFloatArray();
    MFloatArray& operator=(const MFloatArray& other);
    MStatus set(float element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(float element, unsigned int index);
    MStatus append(float element);
    MStatus copy(const MFloatArray& source);
    MStatus clear();
    MStatus get(float array[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    float& operator[](unsigned int index);
    float operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
