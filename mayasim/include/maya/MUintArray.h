#ifndef _MUintArray
#define _MUintArray

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MUintArray {
  public:
    MUintArray();
    MUintArray(const MUintArray& other);
    MUintArray(const unsigned int src[], unsigned int count);
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0);
    ~MUintArray();
    MUintArray& operator=(const MUintArray& other);
    MStatus set(unsigned int element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(unsigned int element, unsigned int index);
    MStatus append(unsigned int element);
    MStatus copy(const MUintArray& source);
    MStatus clear();
    MStatus get(unsigned int array[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    unsigned int& operator[](unsigned int index);
    unsigned int operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
