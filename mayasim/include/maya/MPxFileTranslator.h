#ifndef _MPxFileTranslator
#define _MPxFileTranslator

#include <maya/MFileObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MPxFileTranslator {
  public:
    enum MFileKind { kIsMyFileType, kCouldBeMyFileType, kNotMyFileType };
    enum FileAccessMode {
        kUnknownAccessMode,
        kOpenAccessMode,
        kReferenceAccessMode,
        kImportAccessMode,
        kSaveAccessMode,
        kExportAccessMode,
        kExportActiveAccessMode
    };

    MPxFileTranslator();
    virtual ~MPxFileTranslator();
    virtual MStatus reader(const MFileObject& file, const MString& optionsString, FileAccessMode mode);
    virtual MStatus writer(const MFileObject& file, const MString& optionsString, FileAccessMode mode);
    virtual bool haveReadMethod() const;
    virtual bool haveWriteMethod() const;
    virtual bool haveNamespaceSupport() const;
    virtual bool haveReferenceMethod() const;
    virtual bool allowMultipleFileOptimization() const;
    virtual MString defaultExtension() const;
    virtual MString filter() const;
    virtual bool canBeOpened() const;
    virtual MPxFileTranslator::MFileKind identifyFile(const MFileObject& file, const char* buffer,
                                                      short size) const;
    static MPxFileTranslator::FileAccessMode fileAccessMode();

  private:
    void* data;
};

#endif
