#include "process/PostLoad.h"

int prepareLoadedScene(Scene& /*scene*/) {
  // Filled in once the scene model lands.
  return 1;
}
