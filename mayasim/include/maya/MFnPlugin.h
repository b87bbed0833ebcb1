#ifndef _MFnPlugin
#define _MFnPlugin

#include <maya/MApiVersion.h>
#include <maya/MFnBase.h>
#include <maya/MPxData.h>
#include <maya/MPxNode.h>

#define PLUGIN_COMPANY "Autodesk"

class OPENMAYA_EXPORT MFnPlugin : public MFnBase {
  public:
    MFnPlugin();
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = 0L);
    virtual ~MFnPlugin();
    virtual MFn::Type type() const;
    static const char* className();

    MString vendor(MStatus* ReturnStatus = NULL) const;
    MString version(MStatus* ReturnStatus = NULL) const;
    MString apiVersion(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString loadPath(MStatus* ReturnStatus = NULL) const;

    MStatus registerFileTranslator(const MString& translatorName, const char* pixmapName,
                                   MCreatorFunction creatorFunction, const char* optionsScriptName = NULL,
                                   const char* defaultOptionsString = NULL, bool requiresFullMel = false,
                                   MString dataStorageLocation = MFnPlugin::kDefaultDataLocation);
    MStatus deregisterFileTranslator(const MString& translatorName);

    static MObject findPlugin(const MString& pluginName);
    static const MString kDefaultDataLocation;

  private:
    MFnPlugin(const MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = 0L);
    MFnPlugin(const MFnPlugin&);
    MFnPlugin& operator=(const MFnPlugin&);
    MFnPlugin* operator&() const;
    MFnPlugin* operator&();
};

#endif
