// Classes the devkit headers drag in that the stand-in does not model beyond construction.
#include <maya/MPxData.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionMask.h>

MPxNode::MPxNode() = default;
MPxNode::~MPxNode() = default;
void MPxNode::postConstructor() {}
MPxNode::Type MPxNode::type() const {
    return kDependNode;
}

MPxData::MPxData() = default;
MPxData::~MPxData() = default;

MSelectionMask::MSelectionMask() : fMask(0) {}
MSelectionMask::MSelectionMask(SelectionType selType)
    : fMask(1ull << (static_cast<unsigned>(selType) & 63u)) {}
MSelectionMask::MSelectionMask(const MSelectionMask& in) = default;
MSelectionMask::~MSelectionMask() = default;
MSelectionMask& MSelectionMask::operator=(const MSelectionMask& other) = default;
MStatus MSelectionMask::addMask(SelectionType selType) {
    fMask |= 1ull << (static_cast<unsigned>(selType) & 63u);
    return MS::kSuccess;
}
bool MSelectionMask::intersects(SelectionType selType, MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return (fMask & (1ull << (static_cast<unsigned>(selType) & 63u))) != 0;
}
