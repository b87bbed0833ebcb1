// The module's entry-point file includes MFnPlugin.h for the version string and entry
// glue it defines; every other unit must suppress both.
#define MNoVersionString
#define MNoPluginEntry
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <string>

#include "host/Messages.h"
#include "plugin/Options.h"
#include "plugin/PluginRegistration.h"
#include "plugin/QVXTranslator.h"

MStatus registerTavrinPro(MObject plugin) {
    MFnPlugin fnPlugin(plugin, "Marrowby", "3.0", "Any");
    const MString starting =
        MString("Tavrin Pro: Initializing plugin for Maya ") + MGlobal::mayaVersion() + "...";
    logHost(starting);

    const std::string defaultOptions = defaultOptionString();
    const MStatus status =
        fnPlugin.registerFileTranslator(kTranslatorName, "none", QVXTranslator::creator, kOptionsScriptName,
                                        defaultOptions.c_str(), false, MFnPlugin::kDefaultDataLocation);
    if (status) {
        logHost(starting + "Success");
    } else {
        logHost("Tavrin Pro: There was an error initializing the plugin.", HostLevel::Error);
    }
    return status;
}

MStatus deregisterTavrinPro(MObject plugin) {
    MFnPlugin fnPlugin(plugin, "Unknown", "Unknown", "Any");
    return fnPlugin.deregisterFileTranslator(kTranslatorName);
}
