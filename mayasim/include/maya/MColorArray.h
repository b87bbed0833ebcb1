#ifndef _MColorArray
#define _MColorArray

#include <maya/MColor.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MColorArray {
  public:
    MColorArray();
    MColorArray(const MColorArray& other);
    MColorArray(const MColor src[], unsigned int count);
    MColorArray(unsigned int initialSize, const MColor& initialValue = MColor::kOpaqueBlack);
    ~MColorArray();
    MColorArray& operator=(const MColorArray& other);
    MStatus set(const MColor& element, unsigned int index);
    MStatus append(float r, float g, float b, float a = 1);
    MStatus set(unsigned int index, float r, float g, float b, float a = 1);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MColor& element, unsigned int index);
    MStatus append(const MColor& element);
    MStatus copy(const MColorArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MColor& operator[](unsigned int index);
    const MColor& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
