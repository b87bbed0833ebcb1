# FindMaya: the Maya devkit that a plug-in is built against.
#
# Looks in MAYA_DEVKIT (a cache path, set with -DMAYA_DEVKIT=<devkit root>), then in the
# MAYA_LOCATION environment variable, the usual pointer to a Maya installation:
#   headers    <root>/include/maya/MTypes.h (also <root>/devkit/include, and on macOS the
#              devkit beside the app bundle)
#   libraries  OpenMaya, OpenMayaAnim and Foundation in <root>/lib (Linux, Windows) or the
#              app bundle's MacOS folder (macOS)
#
# Defines
#   Maya_FOUND, Maya_INCLUDE_DIR, Maya_LIBRARY_DIR
#   Maya_VERSION       the release year, e.g. 2023, from MAYA_API_VERSION in MTypes.h
#   Maya_API_VERSION   the full MAYA_API_VERSION number, e.g. 20230000 or 201500
#   Maya_CXX11_ABI     Linux only: 1 when the devkit's libraries use the C++11 standard-library
#                      ABI, 0 when they use the old one (Maya 2019 to 2023 do); read from the
#                      libraries' symbols, not guessed from the version. MAYA_CXX11_ABI (0 or 1)
#                      overrides the detection.
#   imported targets Maya::OpenMaya, Maya::OpenMayaAnim, Maya::Foundation, which carry the
#   include directory, the definitions the devkit's headers expect on this platform and, on
#   Linux, the standard-library ABI.

set(MAYA_DEVKIT "" CACHE PATH "Root of the Maya devkit (holds include/maya); empty: use $MAYA_LOCATION")

# MAYA_DEVKIT first; MAYA_LOCATION after it, for a devkit given without the libraries that
# the Maya installation holds (or for no MAYA_DEVKIT at all).
set(_maya_roots)
if(MAYA_DEVKIT)
  list(APPEND _maya_roots "${MAYA_DEVKIT}")
endif()
if(DEFINED ENV{MAYA_LOCATION} AND NOT "$ENV{MAYA_LOCATION}" STREQUAL "")
  file(TO_CMAKE_PATH "$ENV{MAYA_LOCATION}" _maya_location)
  list(APPEND _maya_roots "${_maya_location}")
endif()

set(_maya_include_hints)
set(_maya_library_hints)
foreach(_root IN LISTS _maya_roots)
  # A devkit root, a Maya installation with the devkit unpacked into it, and on macOS
  # MAYA_LOCATION pointing into the app bundle (Maya.app/Contents) with the devkit two up.
  list(APPEND _maya_include_hints "${_root}/include" "${_root}/devkit/include" "${_root}/devkitBase/include"
       "${_root}/../../devkit/include" "${_root}/../../devkitBase/include")
  list(APPEND _maya_library_hints "${_root}/lib" "${_root}/MacOS" "${_root}/Maya.app/Contents/MacOS"
       "${_root}/../../Maya.app/Contents/MacOS")
endforeach()

find_path(Maya_INCLUDE_DIR maya/MTypes.h HINTS ${_maya_include_hints} NO_DEFAULT_PATH)

set(_maya_library_vars)
foreach(_lib OpenMaya OpenMayaAnim Foundation)
  find_library(Maya_${_lib}_LIBRARY NAMES ${_lib} HINTS ${_maya_library_hints} NO_DEFAULT_PATH)
  list(APPEND _maya_library_vars Maya_${_lib}_LIBRARY)
endforeach()

if(Maya_INCLUDE_DIR AND EXISTS "${Maya_INCLUDE_DIR}/maya/MTypes.h")
  file(STRINGS "${Maya_INCLUDE_DIR}/maya/MTypes.h" _maya_version_line
       REGEX "^[ \t]*#[ \t]*define[ \t]+MAYA_API_VERSION[ \t]+[0-9]+" LIMIT_COUNT 1)
  if(_maya_version_line MATCHES "MAYA_API_VERSION[ \t]+([0-9]+)")
    set(Maya_API_VERSION "${CMAKE_MATCH_1}")
    # 201500 (to 2017) and 20180000 (from 2018) both start with the year.
    string(SUBSTRING "${Maya_API_VERSION}" 0 4 Maya_VERSION)
  endif()
endif()

if(Maya_OpenMaya_LIBRARY)
  get_filename_component(Maya_LIBRARY_DIR "${Maya_OpenMaya_LIBRARY}" DIRECTORY)
endif()

# The standard-library ABI of the devkit's libraries: a library built with the C++11 ABI names
# std::__cxx11 types in its symbols, one built with the old ABI names the old string ("Ss").
# Everything linked into the plug-in must match it.
function(_maya_detect_cxx11_abi library out)
  file(STRINGS "${library}" _new REGEX "__cxx11" LIMIT_COUNT 1)
  if(_new)
    set(${out} 1 PARENT_SCOPE)
    return()
  endif()
  file(STRINGS "${library}" _old REGEX "_ZNSs|_ZNKSs" LIMIT_COUNT 1)
  if(_old)
    set(${out} 0 PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND Maya_OpenMaya_LIBRARY)
  if(DEFINED MAYA_CXX11_ABI AND NOT MAYA_CXX11_ABI STREQUAL "")
    set(Maya_CXX11_ABI "${MAYA_CXX11_ABI}")
  elseif(DEFINED _Maya_CXX11_ABI_FOR AND _Maya_CXX11_ABI_FOR STREQUAL Maya_OpenMaya_LIBRARY)
    set(Maya_CXX11_ABI "${_Maya_CXX11_ABI}")
  else()
    # Foundation is the smallest of the three and uses the standard library like the others.
    set(Maya_CXX11_ABI "")
    foreach(_lib Foundation OpenMaya)
      if(Maya_CXX11_ABI STREQUAL "" AND Maya_${_lib}_LIBRARY)
        get_filename_component(_real "${Maya_${_lib}_LIBRARY}" REALPATH)
        _maya_detect_cxx11_abi("${_real}" Maya_CXX11_ABI)
      endif()
    endforeach()
    if(Maya_CXX11_ABI STREQUAL "")
      message(WARNING "FindMaya: cannot tell the standard-library ABI of ${Maya_OpenMaya_LIBRARY}; "
                      "assuming the old one. Set MAYA_CXX11_ABI=0 or 1 to choose.")
      set(Maya_CXX11_ABI 0)
    endif()
    set(_Maya_CXX11_ABI "${Maya_CXX11_ABI}" CACHE INTERNAL "")
    set(_Maya_CXX11_ABI_FOR "${Maya_OpenMaya_LIBRARY}" CACHE INTERNAL "")
  endif()
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Maya
  REQUIRED_VARS Maya_INCLUDE_DIR ${_maya_library_vars}
  VERSION_VAR Maya_VERSION
  REASON_FAILURE_MESSAGE
    "set MAYA_DEVKIT to the devkit root (the folder with include/maya/MTypes.h and the OpenMaya, OpenMayaAnim and Foundation libraries) or the MAYA_LOCATION environment variable to the Maya installation")

if(Maya_FOUND)
  # The definitions the devkit's headers test for, per platform.
  set(_maya_definitions REQUIRE_IOSTREAM _BOOL)
  if(WIN32)
    list(APPEND _maya_definitions NT_PLUGIN)
  elseif(APPLE)
    list(APPEND _maya_definitions OSMac_ MAC_PLUGIN)
  else()
    list(APPEND _maya_definitions LINUX)
  endif()
  if(DEFINED Maya_CXX11_ABI AND NOT Maya_CXX11_ABI STREQUAL "")
    list(APPEND _maya_definitions _GLIBCXX_USE_CXX11_ABI=${Maya_CXX11_ABI})
  endif()

  foreach(_lib OpenMaya OpenMayaAnim Foundation)
    if(NOT TARGET Maya::${_lib})
      add_library(Maya::${_lib} UNKNOWN IMPORTED)
      set_target_properties(Maya::${_lib} PROPERTIES
        IMPORTED_LOCATION "${Maya_${_lib}_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${Maya_INCLUDE_DIR}"
        INTERFACE_COMPILE_DEFINITIONS "${_maya_definitions}"
        INTERFACE_COMPILE_FEATURES cxx_std_17)
    endif()
  endforeach()
  set_property(TARGET Maya::OpenMayaAnim APPEND PROPERTY INTERFACE_LINK_LIBRARIES Maya::OpenMaya)
  set_property(TARGET Maya::OpenMaya APPEND PROPERTY INTERFACE_LINK_LIBRARIES Maya::Foundation)
endif()

mark_as_advanced(Maya_INCLUDE_DIR Maya_OpenMaya_LIBRARY Maya_OpenMayaAnim_LIBRARY Maya_Foundation_LIBRARY)
