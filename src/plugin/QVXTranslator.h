#pragma once

// The file translator the host drives: fixed answers to the host's queries, file
// identification, and the per-translator state the import and export requests share.

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/Options.h"
#include "scene/Scene.h"

// The name under which the translator is registered and chosen in the file dialogs.
constexpr const char* kTranslatorName = "Tavrin Pro";

class QVXTranslator : public MPxFileTranslator {
  public:
    QVXTranslator();
    ~QVXTranslator() override;
    QVXTranslator(const QVXTranslator&) = delete;
    QVXTranslator& operator=(const QVXTranslator&) = delete;

    // The creator registered with the host: a new translator that the host owns, or
    // null when it cannot be made.
    static void* creator();

    MStatus reader(const MFileObject& file, const MString& optionsString, FileAccessMode mode) override;
    MStatus writer(const MFileObject& file, const MString& optionsString, FileAccessMode mode) override;
    bool haveReadMethod() const override;
    bool haveWriteMethod() const override;
    MString defaultExtension() const override;
    MString filter() const override;
    MFileKind identifyFile(const MFileObject& file, const char* buffer, short size) const override;

    // State shared with the request handlers. The scene is empty between requests; the
    // option flags persist from one request to the next.
    std::vector<std::uint8_t> loadBuffer;  // the whole file while it is parsed, else empty
    std::uint32_t loadCursor = 0;
    std::uint32_t loadSize = 0;
    MFileObject lastFile;  // the file of the last read request
    OptionFlags options;
    Scene scene;
    std::string description = "Tavrin Pro Maya 2015 Translator";
    std::string versionText = "v3.0";
    std::string dateText;    // set when a file is written
    std::string sourcePath;  // full path of the file being read
};
