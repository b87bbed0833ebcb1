#ifndef _MDagPathArray
#define _MDagPathArray

#include <maya/MDagPath.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MDagPathArray {
  public:
    MDagPathArray();
    MDagPathArray(const MDagPathArray& other);
    MDagPathArray(const MDagPath src[], unsigned int count);
    MDagPathArray(unsigned int initialSize, const MDagPath& initialValue);
    ~MDagPathArray();
    MDagPathArray& operator=(const MDagPathArray& other);
    MStatus set(const MDagPath& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MDagPath& element, unsigned int index);
    MStatus append(const MDagPath& element);
    MStatus copy(const MDagPathArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MDagPath& operator[](unsigned int index);
    const MDagPath& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
