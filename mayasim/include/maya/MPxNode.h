#ifndef _MPxNode
#define _MPxNode

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

// Declared because the devkit's MFnPlugin.h includes it; user-defined nodes are not modelled.
class OPENMAYA_EXPORT MPxNode {
  public:
    enum Type { kDependNode, kLocatorNode, kDeformerNode, kManipContainer, kSurfaceShape, kLast = 32 };
    MPxNode();
    virtual ~MPxNode();
    virtual void postConstructor();
    virtual Type type() const;
};

#endif
