#ifndef MAYASIM_SELECTION_H
#define MAYASIM_SELECTION_H
// Internal: the items of an MSelectionList (a node, a DAG path with an optional component, or a plug).

#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

#include "Access.h"
#include "Dag.h"
#include "Object.h"

namespace mayasim {

struct SelectionItem {
    ObjectPtr node;
    bool isDag = false;
    std::vector<ObjectPtr> path;  // DAG items: from the top of the hierarchy down
    ObjectPtr component;          // DAG items: optional
    bool isPlug = false;
    MPlug plug;
};

// Every DAG path named by a full ("|a|b"), partial ("a|b") or plain ("b") path name; a plain name gives
// each node of that name its first path.
std::vector<NodePath> pathsNamed(const std::string& name);

inline std::vector<SelectionItem>& items(MSelectionList& l) {
    return Access::vec<SelectionItem>(l);
}
inline const std::vector<SelectionItem>& items(const MSelectionList& l) {
    return Access::vec<SelectionItem>(l);
}

}  // namespace mayasim

#endif
