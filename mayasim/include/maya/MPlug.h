#ifndef _MPlug
#define _MPlug

#include <maya/MDGContext.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class OPENMAYA_EXPORT MPlug {
  public:
    MPlug();
    MPlug(const MPlug& in);
    MPlug(const MObject& node, const MObject& attribute);
    virtual ~MPlug();

    MStatus setAttribute(MObject& attribute);
    MObject attribute(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    MString info(MStatus* ReturnStatus = NULL) const;

    bool isNetworked(MStatus* ReturnStatus = NULL) const;
    bool isArray(MStatus* ReturnStatus = NULL) const;
    bool isElement(MStatus* ReturnStatus = NULL) const;
    bool isCompound(MStatus* ReturnStatus = NULL) const;
    bool isChild(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    MStatus setKeyable(bool keyable);
    bool isLocked(MStatus* ReturnStatus = NULL) const;
    MStatus setLocked(bool locked);

    unsigned int logicalIndex(MStatus* ReturnStatus = NULL) const;
    unsigned int numElements(MStatus* ReturnStatus = NULL) const;
    unsigned int evaluateNumElements(MStatus* ReturnStatus = NULL);
    unsigned int numConnectedElements(MStatus* ReturnStatus = NULL) const;
    int getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus = NULL);
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    unsigned int numConnectedChildren(MStatus* ReturnStatus = NULL) const;
    MPlug child(MObject& attr, MStatus* ReturnStatus = NULL) const;
    MPlug child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MPlug parent(MStatus* ReturnStatus = NULL) const;
    MPlug array(MStatus* ReturnStatus = NULL) const;
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus = NULL) const;

    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    bool isDestination(MStatus* ReturnStatus = NULL) const;
    bool isSource(MStatus* ReturnStatus = NULL) const;
    bool isNull(MStatus* ReturnStatus = NULL) const;

    MStatus getValue(MObject& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(double&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(float&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MInt64&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(int&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(short&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(bool&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(char&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MString&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MTime&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MDistance&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MAngle&, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus setValue(MObject& val);
    MStatus setValue(double);
    MStatus setValue(float);
    MStatus setValue(MInt64);
    MStatus setValue(int);
    MStatus setValue(short);
    MStatus setValue(bool);
    MStatus setValue(char);
    MStatus setValue(const MString&);
    MStatus setValue(const char*);
    MStatus setValue(MTime&);
    MStatus setValue(MDistance&);
    MStatus setValue(MAngle&);

    MObject asMObject(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    double asDouble(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    float asFloat(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    int asInt(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    short asShort(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    bool asBool(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MString asString(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MTime asMTime(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;

    MPlug& operator=(const MPlug& other);
    MPlug operator[](unsigned int physicalIndex) const;
    MPlug operator[](MObject& attr) const;
    bool operator==(const MPlug& other) const;
    bool operator!=(const MPlug& other) const;
    operator MObject() const;
    bool operator!() const;

  private:
    friend struct mayasim::Access;
    MObject fNode;
    MObject fAttr;
    unsigned int fIndex[6];
};

#endif
