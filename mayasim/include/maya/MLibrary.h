#ifndef _MLibrary
#define _MLibrary

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MLibrary {
  public:
    MLibrary();
    virtual ~MLibrary();
    static MStatus initialize(const char* applicationName, bool useBatchLicense = false);
    static MStatus initialize(bool wantScriptOutput, const char* applicationName,
                              bool useBatchLicense = false);
    static void cleanup(int exitStatus = 0, bool exitWhenDone = true);
};

#endif
