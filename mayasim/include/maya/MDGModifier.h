#ifndef _MDGModifier
#define _MDGModifier

#include <maya/MFnDependencyNode.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MDGModifier {
  public:
    MDGModifier();
    virtual ~MDGModifier();
    MObject createNode(const MString& type, MStatus* ReturnStatus = NULL);
    MStatus deleteNode(const MObject& node);
    MStatus renameNode(const MObject& node, const MString& newName);
    MStatus connect(const MPlug& source, const MPlug& dest);
    MStatus disconnect(const MPlug& source, const MPlug& dest);
    MStatus connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                    const MObject& destAttr);
    MStatus disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                       const MObject& destAttr);
    MStatus newPlugValueDouble(const MPlug& plug, double plugValue);
    MStatus newPlugValueFloat(const MPlug& plug, float plugValue);
    MStatus newPlugValueInt(const MPlug& plug, int plugValue);
    MStatus newPlugValueBool(const MPlug& plug, bool plugValue);
    MStatus newPlugValueString(const MPlug& plug, const MString& plugValue);
    MStatus doIt();
    MStatus undoIt();

  protected:
    MDGModifier(const MDGModifier& other);
    MDGModifier& operator=(const MDGModifier& rhs);

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[48];
};

#endif
