#ifndef _MObjectArray
#define _MObjectArray

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MObjectArray {
  public:
    MObjectArray();
    MObjectArray(const MObjectArray& other);
    MObjectArray(const MObject src[], unsigned int count);
    MObjectArray(unsigned int initialSize, const MObject& initialValue = MObject::kNullObj);
    ~MObjectArray();
    MObjectArray& operator=(const MObjectArray& other);
    MStatus set(const MObject& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MObject& element, unsigned int index);
    MStatus append(const MObject& element);
    MStatus copy(const MObjectArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;
    MObject& operator[](unsigned int index);
    const MObject& operator[](unsigned int index) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
