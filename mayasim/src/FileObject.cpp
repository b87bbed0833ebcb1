// MFileObject: a file name split into directory and name, joined on request.
#include <maya/MFileObject.h>
#include <maya/MString.h>

#include <filesystem>

#include "Access.h"

using mayasim::Access;
using mayasim::FileName;

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string join(const FileName& f) {
    if (f.path.empty()) return f.name;
    if (f.name.empty()) return f.path;
    return isSeparator(f.path.back()) ? f.path + f.name : f.path + "/" + f.name;
}

void splitInto(const std::string& full, FileName& f) {
    std::size_t p = full.find_last_of("/\\");
    if (p == std::string::npos) {
        f.path.clear();
        f.name = full;
    } else {
        f.path = full.substr(0, p + 1);
        f.name = full.substr(p + 1);
    }
}

}  // namespace

MFileObject::MFileObject() {
    new (fStore) FileName();
}
MFileObject::MFileObject(const MFileObject& other) {
    new (fStore) FileName(Access::file(other));
}
MFileObject::~MFileObject() {
    Access::file(*this).~FileName();
}
MFileObject& MFileObject::operator=(const MFileObject& other) {
    Access::file(*this) = Access::file(other);
    return *this;
}

MStatus MFileObject::setRawName(const MString& fileName) {
    Access::file(*this).name = mayasim::fromM(fileName);
    return MS::kSuccess;
}
MStatus MFileObject::setRawPath(const MString& filePath) {
    Access::file(*this).path = mayasim::fromM(filePath);
    return MS::kSuccess;
}
MStatus MFileObject::setRawFullName(const MString& fullFileName) {
    splitInto(mayasim::fromM(fullFileName), Access::file(*this));
    return MS::kSuccess;
}
MString MFileObject::rawName() const {
    return mayasim::toM(Access::file(*this).name);
}
MString MFileObject::rawPath() const {
    return mayasim::toM(Access::file(*this).path);
}
MString MFileObject::rawFullName() const {
    return mayasim::toM(join(Access::file(*this)));
}
MString MFileObject::resolvedName() const {
    return rawName();
}
MString MFileObject::resolvedPath() const {
    return rawPath();
}
MString MFileObject::resolvedFullName() const {
    return rawFullName();
}
MString MFileObject::expandedPath() const {
    return rawPath();
}
MString MFileObject::expandedFullName() const {
    return rawFullName();
}

bool MFileObject::exists() {
    std::string full = join(Access::file(*this));
    if (full.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(full), ec);
}

MStatus MFileObject::setName(const MString& fileName) {
    return setRawName(fileName);
}
MStatus MFileObject::setFullName(const MString& fileName) {
    return setRawFullName(fileName);
}
MString MFileObject::name() const {
    return rawName();
}
MString MFileObject::path() const {
    return rawPath();
}
MString MFileObject::fullName() const {
    return rawFullName();
}
