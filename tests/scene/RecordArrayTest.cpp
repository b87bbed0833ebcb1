#include <gtest/gtest.h>

#include "scene/Scene.h"
