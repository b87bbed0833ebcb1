#ifndef _MColor
#define _MColor

#include <maya/MIOStreamFwd.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MColor {
  public:
    enum MColorType { kRGB, kHSV, kCMY, kCMYK };
    MColor();
    MColor(const MColor& src);
    MColor(float rr, float gg, float bb = 0.0, float aa = 1.0);
    MColor(const float d[3]);
    ~MColor();
    MColor& operator=(const MColor& src);
    float operator[](unsigned int i) const;
    float& operator[](unsigned int i);
    MColor operator+(const MColor& other) const;
    MColor operator-(const MColor& other) const;
    MColor operator*(float scalar) const;
    bool operator==(const MColor& other) const;
    bool operator!=(const MColor& other) const;

    static const MColor kOpaqueBlack;
    float r, g, b, a;
};

#endif
