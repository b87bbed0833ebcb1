// A small plug-in module for the host tests: one translator that records what the host asks of it.
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxFileTranslator.h>

#include <cstring>

namespace {

class RecordingTranslator : public MPxFileTranslator {
  public:
    MStatus reader(const MFileObject& file, const MString& options, FileAccessMode mode) override {
        MGlobal::displayInfo(MString("read ") + file.fullName() + " [" + options + "] " +
                             static_cast<double>(mode) + " " + static_cast<double>(fileAccessMode()));
        return MS::kSuccess;
    }
    MStatus writer(const MFileObject& file, const MString& options, FileAccessMode mode) override {
        MGlobal::displayInfo(MString("write ") + file.fullName() + " [" + options + "] " +
                             static_cast<double>(mode) + " " + static_cast<double>(fileAccessMode()));
        return MS::kSuccess;
    }
    bool haveReadMethod() const override { return true; }
    bool haveWriteMethod() const override { return true; }
    MString defaultExtension() const override { return "rec"; }
    MString filter() const override { return "*.rec"; }
    MFileKind identifyFile(const MFileObject& file, const char* buffer, short size) const override {
        MString name = file.name();
        if (name.length() < 4 || name.substring(name.length() - 4, name.length() - 1) != ".rec")
            return kNotMyFileType;
        if (buffer && size >= 3 && std::memcmp(buffer, "REC", 3) == 0) return kIsMyFileType;
        return kCouldBeMyFileType;
    }
};

void* createRecording() {
    return new RecordingTranslator;
}

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Test Vendor", "1.0", "Any");
    MGlobal::displayInfo("test plug-in loaded");
    return plugin.registerFileTranslator("Recording", "none", createRecording, "recOptions", "a=1;b=2;",
                                         false);
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    MGlobal::displayInfo("test plug-in unloaded");
    return plugin.deregisterFileTranslator("Recording");
}
