#ifndef _MApiVersion
#define _MApiVersion
// Defines the exported version string the host reads before initialising a plug-in. Exactly one
// translation unit of a plug-in may include this without MNoVersionString defined.

#include <maya/MTypes.h>

#ifndef MNoVersionString
#define _MApiVersionStringify2(x) #x
#define _MApiVersionStringify(x) _MApiVersionStringify2(x)
extern "C" {
PLUGIN_EXPORT char MApiVersion[] = _MApiVersionStringify(MAYA_API_VERSION);
}
#endif

#endif
