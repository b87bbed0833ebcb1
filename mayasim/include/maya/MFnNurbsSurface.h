#ifndef _MFnNurbsSurface
#define _MFnNurbsSurface

#include <maya/MFnDagNode.h>
#include <maya/MObject.h>

// Only attaching is modelled: the stand-in's NURBS surfaces carry no geometry.
class OPENMAYA_EXPORT MFnNurbsSurface : public MFnDagNode {
    declareDagMFn(MFnNurbsSurface, MFnDagNode);
};

#endif
