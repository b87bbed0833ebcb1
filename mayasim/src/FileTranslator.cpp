// MPxFileTranslator base answers for slots a translator does not override.
#include <maya/MPxFileTranslator.h>

#include "HostState.h"

MPxFileTranslator::MPxFileTranslator() : data(nullptr) {}
MPxFileTranslator::~MPxFileTranslator() = default;
MStatus MPxFileTranslator::reader(const MFileObject&, const MString&, FileAccessMode) {
    return MS::kFailure;
}
MStatus MPxFileTranslator::writer(const MFileObject&, const MString&, FileAccessMode) {
    return MS::kFailure;
}
bool MPxFileTranslator::haveReadMethod() const {
    return false;
}
bool MPxFileTranslator::haveWriteMethod() const {
    return false;
}
bool MPxFileTranslator::haveNamespaceSupport() const {
    return false;
}
bool MPxFileTranslator::haveReferenceMethod() const {
    return false;
}
bool MPxFileTranslator::allowMultipleFileOptimization() const {
    return false;
}
MString MPxFileTranslator::defaultExtension() const {
    return MString();
}
MString MPxFileTranslator::filter() const {
    return MString();
}
bool MPxFileTranslator::canBeOpened() const {
    return true;
}
MPxFileTranslator::MFileKind MPxFileTranslator::identifyFile(const MFileObject&, const char*, short) const {
    return kNotMyFileType;
}
MPxFileTranslator::FileAccessMode MPxFileTranslator::fileAccessMode() {
    return mayasim::host().accessMode;
}
