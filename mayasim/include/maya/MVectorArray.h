#ifndef _MVectorArray
#define _MVectorArray

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class OPENMAYA_EXPORT MVectorArray {
  public:
    MVectorArray();
    MVectorArray(const MVectorArray& other);
    MVectorArray(const MVector src[], unsigned int count);
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector::zero);
    ~MVectorArray();
    MVectorArray& operator=(const MVectorArray& other);
    MStatus set(const MVector& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MVector& element, unsigned int index);
    MStatus append(const MVector& element);
    MStatus copy(const MVectorArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MVector& operator[](unsigned int index);
    const MVector& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
