// Attributes of Maya's node types that scene files set and the stand-in's schema did not have yet.
#include "../Graph.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerSceneFileAttributes) {
    TypeRegistry& t = types();
    if (!t.find("transform") || !t.find("transform")->findAttribute("rotatePivotTranslate"))
        t.addAttribute("transform", triple("rotatePivotTranslate", "rpt", AttrType::kDistance, 0, 0, 0));
    if (!t.find("transform") || !t.find("transform")->findAttribute("scalePivotTranslate"))
        t.addAttribute("transform", triple("scalePivotTranslate", "spt", AttrType::kDistance, 0, 0, 0));
}

}  // namespace mayasim
