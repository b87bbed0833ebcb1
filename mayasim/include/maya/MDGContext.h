#ifndef _MDGContext
#define _MDGContext

#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Evaluation context; the stand-in evaluates at the current time only.
class OPENMAYA_EXPORT MDGContext {
  public:
    MDGContext();
    MDGContext(const MTime& when);
    MDGContext(const MDGContext& in);
    virtual ~MDGContext();
    bool isNormal(MStatus* ReturnStatus = NULL) const;
    static MDGContext fsNormal;

  private:
    bool fNormal;
    double fSeconds;
};

#endif
