#include "plugin/QVXTranslator.h"

#include <cstring>
#include <new>

#include "format/QvxHeader.h"
#include "plugin/ExportDriver.h"
#include "plugin/ImportDriver.h"

QVXTranslator::QVXTranslator() {
    lastFile.setFullName(MString(""));
}

QVXTranslator::~QVXTranslator() = default;

void* QVXTranslator::creator() {
    // The host takes ownership of the raw pointer; an allocation failure must reach it as
    // null rather than as an exception crossing into the host.
    try {
        return new QVXTranslator();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

MStatus QVXTranslator::reader(const MFileObject& file, const MString& optionsString, FileAccessMode mode) {
    return importFile(*this, file, optionsString, mode);
}

MStatus QVXTranslator::writer(const MFileObject& file, const MString& optionsString, FileAccessMode mode) {
    return exportFile(*this, file, optionsString, mode);
}

bool QVXTranslator::haveReadMethod() const {
    return true;
}

bool QVXTranslator::haveWriteMethod() const {
    return true;
}

MString QVXTranslator::defaultExtension() const {
    return MString("qvx");
}

MString QVXTranslator::filter() const {
    return MString("*.qvx");
}

MPxFileTranslator::MFileKind QVXTranslator::identifyFile(const MFileObject& file, const char* buffer,
                                                         short size) const {
    const MString name = file.name();
    const unsigned int length = name.length();
    if (length < 4) {
        return kNotMyFileType;
    }
    const char* extension = name.asChar() + (length - 4);
    static constexpr char kExtension[] = ".qvx";
    for (int i = 0; i < 4; ++i) {
        const char c = extension[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kExtension[i]) {
            return kNotMyFileType;
        }
    }
    if (buffer == nullptr || size < 4) {
        return kCouldBeMyFileType;
    }
    return std::memcmp(buffer, kQvxMagicText, 4) == 0 ? kIsMyFileType : kCouldBeMyFileType;
}
