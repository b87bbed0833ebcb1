// The scene's active selection, as MGlobal gives and takes it.
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include "HostState.h"

using mayasim::host;

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool) {
    dest = host().activeSelection;
    return MS::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment mode) {
    MSelectionList& active = host().activeSelection;
    switch (mode) {
        case kReplaceList:
            active = src;
            return MS::kSuccess;
        case kAddToList:
        case kAddToHeadOfList:
        case kXORWithList:
        case kRemoveFromList:
            break;
    }
    // Merging: items are added one by one (removal and XOR drop matching items).
    MSelectionList merged = mode == kAddToHeadOfList ? src : active;
    const MSelectionList& other = mode == kAddToHeadOfList ? active : src;
    for (unsigned int i = 0; i < other.length(); ++i) {
        MObject node;
        other.getDependNode(i, node);
        bool present = merged.hasItem(node);
        if (mode == kRemoveFromList || (mode == kXORWithList && present)) {
            for (unsigned int j = merged.length(); j-- > 0;) {
                MObject m;
                merged.getDependNode(j, m);
                if (m == node) merged.remove(j);
            }
        } else if (!present) {
            merged.add(node);
        }
    }
    active = merged;
    return MS::kSuccess;
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    list.clear();
    return list.add(name);
}
