#include <maya/MStatus.h>
#include <maya/MString.h>

#include <iostream>

MStatus::MStatus() : fStatusCode(kSuccess), fInternalStatusCode(0) {}
MStatus::MStatus(MStatusCode code) : fStatusCode(code), fInternalStatusCode(0) {}
MStatus::MStatus(const MStatus& other) = default;
MStatus& MStatus::operator=(const MStatus& rhs) = default;
bool MStatus::operator==(const MStatus& rhs) const {
    return fStatusCode == rhs.fStatusCode;
}
bool MStatus::operator==(const MStatusCode rhs) const {
    return fStatusCode == rhs;
}
bool MStatus::operator!=(const MStatus& rhs) const {
    return fStatusCode != rhs.fStatusCode;
}
bool MStatus::operator!=(const MStatusCode rhs) const {
    return fStatusCode != rhs;
}
bool MStatus::error() const {
    return fStatusCode != kSuccess;
}
void MStatus::clear() {
    fStatusCode = kSuccess;
}
MStatus::MStatusCode MStatus::statusCode() const {
    return fStatusCode;
}
MStatus::operator bool() const {
    return fStatusCode == kSuccess;
}

MString MStatus::errorString() const {
    switch (fStatusCode) {
        case kSuccess:
            return "(kSuccess): No error";
        case kFailure:
            return "(kFailure): Unexpected Internal Failure";
        case kInsufficientMemory:
            return "(kInsufficientMemory): Insufficient Memory";
        case kInvalidParameter:
            return "(kInvalidParameter): Invalid Parameter";
        case kLicenseFailure:
            return "(kLicenseFailure): License Failure";
        case kUnknownParameter:
            return "(kUnknownParameter): Unknown Parameter";
        case kNotImplemented:
            return "(kNotImplemented): Not Implemented";
        case kNotFound:
            return "(kNotFound): Object not found";
        case kEndOfFile:
            return "(kEndOfFile): End of File";
    }
    return "(kFailure): Unexpected Internal Failure";
}

void MStatus::perror(const char* text) const {
    std::cerr << (text ? text : "") << ": " << errorString() << '\n';
}
void MStatus::perror(const MString& text) const {
    perror(text.asChar());
}

bool operator==(const MStatus::MStatusCode code, const MStatus& status) {
    return status == code;
}
bool operator!=(const MStatus::MStatusCode code, const MStatus& status) {
    return status != code;
}
