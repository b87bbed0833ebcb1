# The host API that the plug-in compiles and links against, as three targets named after
# the devkit's libraries: Maya::OpenMaya, Maya::OpenMayaAnim and Maya::Foundation. The
# plug-in's own CMake names only these, so QVX_USE_MAYA_DEVKIT alone decides whether they
# are the stand-in (mayasim, built here) or a real devkit (cmake/FindMaya.cmake).

if(QVX_USE_MAYA_DEVKIT)
  find_package(Maya REQUIRED)
  message(STATUS "Maya devkit ${Maya_VERSION} (API ${Maya_API_VERSION}) in ${Maya_INCLUDE_DIR}, "
                 "libraries in ${Maya_LIBRARY_DIR}, C++11 ABI: ${Maya_CXX11_ABI}")
  # Everything linked into the module shares one standard-library ABI with Maya's libraries,
  # the plain libraries included, since std::string crosses between them.
  if(DEFINED Maya_CXX11_ABI AND NOT Maya_CXX11_ABI STREQUAL "")
    add_compile_definitions(_GLIBCXX_USE_CXX11_ABI=${Maya_CXX11_ABI})
  endif()
  # Only the entry points leave the module (cmake/PluginModule.cmake marks them).
  set(CMAKE_CXX_VISIBILITY_PRESET hidden)
  set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
  # The tests, benchmarks and fuzz targets run against the stand-in.
  set(QVX_BUILD_TESTS OFF)
  set(QVX_BUILD_BENCH OFF)
  set(QVX_BUILD_FUZZ OFF)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/PluginModule.cmake)

# Adds the stand-in and names it as the devkit's libraries; nothing to add for a devkit.
macro(qvx_add_maya_api)
  if(NOT QVX_USE_MAYA_DEVKIT)
    add_subdirectory(${PROJECT_SOURCE_DIR}/mayasim ${PROJECT_BINARY_DIR}/mayasim)
    foreach(qvx_maya_lib OpenMaya OpenMayaAnim Foundation)
      add_library(Maya::${qvx_maya_lib} ALIAS mayasim)
    endforeach()
  endif()
endmacro()
