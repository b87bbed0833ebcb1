// NURBS surfaces: shapes without geometry, so that a walk can find and skip them.
#include <maya/MDagPath.h>
#include <maya/MFnNurbsSurface.h>

#include "Bridge.h"
#include "FnImpl.h"

using namespace mayasim;

MAYASIM_IMPLEMENT_DAG_MFN(MFnNurbsSurface, MFn::kNurbsSurface)
