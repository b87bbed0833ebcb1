// The module's entry points. This is the one unit that includes MFnPlugin.h without
// suppression, so it defines the exported MApiVersion text the host checks on load.
#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include "plugin/PluginRegistration.h"

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    return registerTavrinPro(obj);
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    return deregisterTavrinPro(obj);
}
