// A module with entry points but without the exported version string: the host refuses it.
#define MNoVersionString
#include <maya/MFnPlugin.h>

PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    return MS::kSuccess;
}
PLUGIN_EXPORT MStatus uninitializePlugin(MObject) {
    return MS::kSuccess;
}
