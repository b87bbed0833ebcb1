#ifndef _MPlugArray
#define _MPlugArray

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MPlugArray {
  public:
    MPlugArray();
    MPlugArray(const MPlugArray& other);
    MPlugArray(unsigned int initializeSize, const MPlug& initialValue);
    ~MPlugArray();
    const MPlug& operator[](unsigned int index) const;
    MPlug& operator[](unsigned int index);
    MPlugArray& operator=(const MPlugArray& other);
    MStatus set(const MPlug& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MPlug& element, unsigned int index);
    MStatus append(const MPlug& element);
    MStatus copy(const MPlugArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
