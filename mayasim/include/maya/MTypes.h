#ifndef _MTypes
#define _MTypes
// Basic types, version and export macros of the API.

#include <maya/MApiNamespace.h>

#define MAYA_API_VERSION 201500

#ifndef OPENMAYA_EXPORT
#define OPENMAYA_EXPORT
#endif
#ifndef OPENMAYAANIM_EXPORT
#define OPENMAYAANIM_EXPORT
#endif
#ifndef FND_EXPORT
#define FND_EXPORT
#endif

#ifndef PLUGIN_EXPORT
#if defined(_WIN32)
#define PLUGIN_EXPORT _declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
#endif

typedef long long MInt64;
typedef unsigned long long MUint64;

typedef void* (*MCreatorFunction)();

typedef float float2[2];
typedef float float3[3];
typedef double double2[2];
typedef double double3[3];
typedef double double4[4];

class OPENMAYA_EXPORT MSpace {
  public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,
        kPreTransform = 2,
        kPostTransform = 3,
        kWorld = 4,
        kObject = kPreTransform,
        kLast = 5
    };
};

// Stand-in implementation access; not part of the devkit and of no use to callers.
namespace mayasim {
struct Access;
}

#endif
