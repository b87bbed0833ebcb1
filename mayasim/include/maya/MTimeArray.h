#ifndef _MTimeArray
#define _MTimeArray

#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MTimeArray {
  public:
    MTimeArray();
    MTimeArray(const MTimeArray& other);
    MTimeArray(const MTime src[], unsigned int count);
    MTimeArray(unsigned int initialSize, const MTime& initialValue);
    ~MTimeArray();
    MTimeArray& operator=(const MTimeArray& other);
    MStatus set(const MTime& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MTime& element, unsigned int index);
    MStatus append(const MTime& element);
    MStatus copy(const MTimeArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MTime& operator[](unsigned int index);
    const MTime& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
