#ifndef _MStatus
#define _MStatus

#include <maya/MIOStream.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MStatus {
  public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus();
    MStatus(MStatusCode);
    MStatus(const MStatus&);
    MStatus& operator=(const MStatus& rhs);
    bool operator==(const MStatus& rhs) const;
    bool operator==(const MStatusCode rhs) const;
    bool operator!=(const MStatus& rhs) const;
    bool operator!=(const MStatusCode rhs) const;
    bool error() const;
    void clear();
    MStatusCode statusCode() const;
    MString errorString() const;
    void perror(const char*) const;
    void perror(const MString&) const;
    operator bool() const;

    friend OPENMAYA_EXPORT bool operator==(const MStatus::MStatusCode code, const MStatus& status);
    friend OPENMAYA_EXPORT bool operator!=(const MStatus::MStatusCode code, const MStatus& status);

  private:
    MStatusCode fStatusCode;
    unsigned int fInternalStatusCode;
};

typedef MStatus MS;

#define MFAIL(_s) (MS::kSuccess != (_s))

#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)                                                       \
    {                                                                                                    \
        MStatus _maya_status = (_status);                                                                \
        if (MStatus::kSuccess != _maya_status) {                                                         \
            std::cerr << "\nAPI error detected in " << __FILE__ << " at line " << __LINE__ << std::endl; \
            _maya_status.perror("");                                                                     \
            return (_retVal);                                                                            \
        }                                                                                                \
    }

#define CHECK_MSTATUS_AND_RETURN_IT(_status) CHECK_MSTATUS_AND_RETURN((_status), (_maya_status))

#define CHECK_MSTATUS(_status)                                                                           \
    {                                                                                                    \
        MStatus _maya_status = (_status);                                                                \
        if (MStatus::kSuccess != _maya_status) {                                                         \
            std::cerr << "\nAPI error detected in " << __FILE__ << " at line " << __LINE__ << std::endl; \
            _maya_status.perror("");                                                                     \
        }                                                                                                \
    }

#endif
