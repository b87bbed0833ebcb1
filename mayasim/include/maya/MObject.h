#ifndef _MObject
#define _MObject

#include <maya/MFn.h>
#include <maya/MTypes.h>

class FND_EXPORT MObject {
  public:
    MObject();
    MObject(const MObject& other);
    ~MObject();
    bool hasFn(MFn::Type fs) const;
    bool isNull() const;
    MFn::Type apiType() const;
    const char* apiTypeStr() const;
    bool operator==(const MObject&) const;
    bool operator!=(const MObject&) const;
    MObject& operator=(const MObject&);

    static MObject kNullObj;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[16];
};

#endif
