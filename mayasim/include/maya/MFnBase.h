#ifndef _MFnBase
#define _MFnBase

#include <maya/MFn.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Function-set declaration helpers as the devkit defines them: every set is neither copyable nor
// addressable, so it can only be passed by reference.
#define declareMinimalMFn(MFnClass)       \
  public:                                 \
    virtual MFn::Type type() const;       \
    virtual ~MFnClass();                  \
    static const char* className();       \
                                          \
  private:                                \
    MFnClass(const MFnClass& rhs);        \
    MFnClass& operator=(const MFnClass&); \
    MFnClass* operator&() const

#define declareMFn(MFnClass, MFnParentClass)                 \
    declareMinimalMFn(MFnClass);                             \
                                                             \
  public:                                                    \
    MFnClass();                                              \
    MFnClass(MObject& object, MStatus* ReturnStatus = NULL); \
    MFnClass(const MObject& object, MStatus* ReturnStatus = NULL)

#define declareDagMFn(MFnClass, MFnParentClass) \
    declareMFn(MFnClass, MFnParentClass);       \
    MFnClass(const MDagPath& object, MStatus* ReturnStatus = NULL)

class OPENMAYA_EXPORT MFnBase {
  public:
    virtual ~MFnBase();
    virtual MFn::Type type() const;
    bool hasObj(MFn::Type) const;
    bool hasObj(const MObject&) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);
    static const char* className();

  protected:
    MFnBase();

  private:
    MFnBase(const MFnBase&);
    MFnBase& operator=(const MFnBase&);
    MFnBase* operator&() const;

    friend struct mayasim::Access;
    alignas(8) unsigned char fObject[16];
    alignas(8) unsigned char fPath[24];
};

#endif
