#ifndef _MFileObject
#define _MFileObject

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MFileObject {
  public:
    MFileObject();
    MFileObject(const MFileObject& other);
    virtual ~MFileObject();
    MFileObject& operator=(const MFileObject& other);

    MStatus setRawName(const MString& fileName);
    MStatus setRawPath(const MString& filePath);
    MStatus setRawFullName(const MString& fullFileName);
    MString rawName() const;
    MString rawPath() const;
    MString rawFullName() const;
    MString resolvedName() const;
    MString resolvedPath() const;
    MString resolvedFullName() const;
    MString expandedPath() const;
    MString expandedFullName() const;
    bool exists();

    // Obsolete forms, still declared by the devkit.
    MStatus setName(const MString& fileName);
    MStatus setFullName(const MString& fileName);
    MString name() const;
    MString path() const;
    MString fullName() const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[64];
};

#endif
