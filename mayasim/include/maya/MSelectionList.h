#ifndef _MSelectionList
#define _MSelectionList

#include <maya/MObject.h>
#include <maya/MStatus.h>

class OPENMAYA_EXPORT MSelectionList {
  public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList, kRemoveFromList };
    MSelectionList();
    MSelectionList(const MSelectionList& src);
    virtual ~MSelectionList();
    MSelectionList& operator=(const MSelectionList& other);
    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus getDagPath(unsigned int index, MDagPath& dagPath, MObject& component = MObject::kNullObj) const;
    MStatus getPlug(unsigned int index, MPlug& plug) const;
    MStatus add(const MObject& object, const bool mergeWithExisting = false);
    MStatus add(const MDagPath& object, const MObject& component = MObject::kNullObj,
                const bool mergeWithExisting = false);
    MStatus add(const MString& matchString, const bool searchChildNamespacesToo = false);
    MStatus add(const MPlug& plug, const bool mergeWithExisting = false);
    MStatus remove(unsigned int index);
    bool hasItem(const MObject& item, MStatus* ReturnStatus = NULL) const;
    MStatus getSelectionStrings(MStringArray& array) const;

  private:
    friend struct mayasim::Access;
    alignas(8) unsigned char fStore[24];
};

#endif
