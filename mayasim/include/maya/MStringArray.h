#ifndef _MStringArray
#define _MStringArray

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MStringArray {
  public:
    MStringArray();
    MStringArray(const MStringArray& other);
    MStringArray(const MString strings[], unsigned int count);
    MStringArray(const char* strings[], unsigned int count);
    MStringArray(unsigned int initialSize, const MString& initialValue);
    ~MStringArray();
    MString operator[](unsigned int index) const;
    MString& operator[](unsigned int index);
    MStringArray& operator=(const MStringArray& other);
    MStatus set(const MString& element, unsigned int index);
    MStatus set(const char* element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MString& element, unsigned int index);
    MStatus append(const MString& element);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
