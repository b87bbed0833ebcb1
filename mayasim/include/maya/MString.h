#ifndef _MString
#define _MString

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MString {
  public:
    MString();
    MString(const char* charString);
    MString(const char* charString, int charLength);
    MString(const MString& other);
    ~MString();

    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double other);
    MString& operator+=(int other);
    MString& operator+=(unsigned int other);
    MString& operator+=(float other);
    MString& operator=(const MString& other);
    MString& operator=(const char* other);
    bool operator==(const MString& other) const;
    bool operator==(const char* other) const;
    bool operator!=(const MString& other) const;
    bool operator!=(const char* other) const;
    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;

    MStatus set(const char* charString);
    const char* asChar() const;
    unsigned int length() const;
    void clear();
    int index(char) const;
    int rindex(char) const;
    MStatus split(char, MStringArray&) const;
    MString substring(int start, int end) const;
    MString& toLowerCase();
    MString& toUpperCase();
    bool isInt() const;
    int asInt() const;
    bool isFloat() const;
    float asFloat() const;
    bool isDouble() const;
    double asDouble() const;

    friend OPENMAYA_EXPORT MString operator+(const char*, const MString&);
    friend OPENMAYA_EXPORT std::ostream& operator<<(std::ostream&, const MString&);

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[32];
};

#endif
