# The plug-in built through the devkit path without Maya: lays the stand-in out as a devkit
# (its headers under include/maya/, its library under the three devkit library names),
# configures a second build of the plug-in module through cmake/FindMaya.cmake against it,
# builds only the module, and has the stand-in host load that module and run an import and an
# export with it.
#
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DSTANDIN_INCLUDE_DIR=... -DSTANDIN_LIBRARY=...
#       -DCORE_TARGETS=... -DGENERATOR=... -DBUILD_TYPE=... -DC_COMPILER=... -DCXX_COMPILER=...
#       -DMODULE_CHECK=... -P DevkitBuild.cmake
#
# The second build reuses the plain libraries of the first (CORE_TARGETS, when that build
# could export them) and stays between runs, so a rerun rebuilds only what changed.

foreach(var SOURCE_DIR WORK_DIR STANDIN_INCLUDE_DIR STANDIN_LIBRARY GENERATOR MODULE_CHECK)
  if(NOT ${var})
    message(FATAL_ERROR "DevkitBuild.cmake: ${var} is not set")
  endif()
endforeach()

set(devkit ${WORK_DIR}/devkit)
set(build ${WORK_DIR}/build)
set(run ${WORK_DIR}/run)

# The devkit layout. Copying keeps the headers' times, so an unchanged header rebuilds nothing;
# the libraries are links to the stand-in library, whose own name (its soname) is what the
# module then records, so the module shares the host's one stand-in at run time.
file(REMOVE_RECURSE ${devkit}/include ${devkit}/lib ${run})
file(MAKE_DIRECTORY ${devkit}/include/maya ${devkit}/lib ${run})
file(GLOB headers ${STANDIN_INCLUDE_DIR}/maya/*.h)
file(COPY ${headers} DESTINATION ${devkit}/include/maya)
foreach(lib OpenMaya OpenMayaAnim Foundation)
  file(CREATE_LINK ${STANDIN_LIBRARY} ${devkit}/lib/lib${lib}.so SYMBOLIC)
endforeach()

set(args -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR} -DQVX_USE_MAYA_DEVKIT=ON -DMAYA_DEVKIT=${devkit}
    -DQVX_WERROR=ON)
foreach(pair "CMAKE_BUILD_TYPE;${BUILD_TYPE}" "CMAKE_C_COMPILER;${C_COMPILER}" "CMAKE_CXX_COMPILER;${CXX_COMPILER}")
  list(GET pair 0 name)
  list(LENGTH pair n)
  if(n GREATER 1)
    list(GET pair 1 value)
    list(APPEND args -D${name}=${value})
  endif()
endforeach()
if(CORE_TARGETS AND EXISTS ${CORE_TARGETS})
  list(APPEND args -DQVX_PREBUILT_CORE=${CORE_TARGETS})
else()
  list(APPEND args -DQVX_PREBUILT_CORE=)
endif()

message(STATUS "Configuring the plug-in against the stand-in laid out as a devkit in ${devkit}")
execute_process(COMMAND ${CMAKE_COMMAND} ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configure failed:\n${out}\n${err}")
endif()
# FindMaya read the version from MTypes.h and the ABI from the libraries' symbols.
if(NOT out MATCHES "Maya devkit 2015 \\(API 201500\\)")
  message(FATAL_ERROR "the devkit's version was not read from MTypes.h:\n${out}")
endif()
if(NOT out MATCHES "C\\+\\+11 ABI: 1")
  message(FATAL_ERROR "the stand-in's C++11 standard-library ABI was not detected:\n${out}")
endif()

message(STATUS "Building the plug-in module in ${build}")
execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --target TavrinPro -j 2
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "build failed:\n${out}\n${err}")
endif()

set(module ${build}/src/plugin/TavrinPro.so)
if(NOT EXISTS ${module})
  message(FATAL_ERROR "no module at ${module}")
endif()
execute_process(COMMAND ${MODULE_CHECK} ${module} ${run} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the stand-in host could not run the devkit-built module:\n${out}\n${err}")
endif()
