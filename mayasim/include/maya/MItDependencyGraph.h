#ifndef _MItDependencyGraph
#define _MItDependencyGraph

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MItDependencyGraph {
  public:
    enum Direction { kDownstream, kUpstream };
    enum Traversal { kDepthFirst, kBreadthFirst };
    enum Level { kNodeLevel, kPlugLevel };

    MItDependencyGraph(MObject& rootNode, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel,
                       MStatus* ReturnStatus = NULL);
    MItDependencyGraph(MPlug& rootPlug, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kPlugLevel,
                       MStatus* ReturnStatus = NULL);
    ~MItDependencyGraph();
    MStatus reset();
    MStatus next();
    MStatus prune();
    bool isDone(MStatus* ReturnStatus = NULL);
    MObject thisNode(MStatus* ReturnStatus = NULL);
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MPlug thisPlug(MStatus* ReturnStatus = NULL);
    MObject rootNode(MStatus* ReturnStatus = NULL);
    MPlug rootPlug(MStatus* ReturnStatus = NULL);

  private:
    MItDependencyGraph(const MItDependencyGraph&);
    MItDependencyGraph& operator=(const MItDependencyGraph&);
    friend struct mayasim::Access;
    MPlug fRoot;
    MObject fRootNode;
    MFn::Type fFilter;
    Direction fDirection;
    Traversal fTraversal;
    Level fLevel;
    alignas(8) unsigned char fStore[24];
    unsigned int fPos;
};

#endif
