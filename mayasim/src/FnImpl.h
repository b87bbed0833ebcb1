#ifndef MAYASIM_FNIMPL_H
#define MAYASIM_FNIMPL_H
// Internal: the members every function set gets from declareMFn / declareDagMFn.

#define MAYASIM_IMPLEMENT_MFN(Cls, TypeNumber)               \
    MFn::Type Cls::type() const {                            \
        return TypeNumber;                                   \
    }                                                        \
    Cls::~Cls() = default;                                   \
    const char* Cls::className() {                           \
        return #Cls;                                         \
    }                                                        \
    Cls::Cls() = default;                                    \
    Cls::Cls(MObject& object, MStatus* ReturnStatus) {       \
        MStatus s = setObject(object);                       \
        if (ReturnStatus) *ReturnStatus = s;                 \
    }                                                        \
    Cls::Cls(const MObject& object, MStatus* ReturnStatus) { \
        MStatus s = setObject(object);                       \
        if (ReturnStatus) *ReturnStatus = s;                 \
    }

#define MAYASIM_IMPLEMENT_DAG_MFN(Cls, TypeNumber)            \
    MAYASIM_IMPLEMENT_MFN(Cls, TypeNumber)                    \
    Cls::Cls(const MDagPath& object, MStatus* ReturnStatus) { \
        MStatus s = setObject(object);                        \
        if (ReturnStatus) *ReturnStatus = s;                  \
    }

#endif
