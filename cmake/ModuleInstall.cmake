# The Maya module that `cmake --install <build> --prefix <folder>` lays out in <folder>:
#   TavrinPro.mod    the module description Maya reads through MAYA_MODULE_PATH
#   plug-ins/        the plug-in (TavrinPro.so, .mll or .bundle)
#   scripts/         qvxTransOptions.mel, the translator's options dialog
#   bin/             qvx, for scripted conversions
# The .mod file has one section per platform, each pointing at the folder itself, so builds
# for several platforms can share one module folder. A devkit build limits the module to the
# Maya version it was built for.

set(QVX_MOD_CONDITIONS "")
if(QVX_USE_MAYA_DEVKIT AND Maya_VERSION)
  set(QVX_MOD_CONDITIONS "MAYAVERSION:${Maya_VERSION} ")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/TavrinPro.mod.in ${PROJECT_BINARY_DIR}/TavrinPro.mod @ONLY)

install(FILES ${PROJECT_BINARY_DIR}/TavrinPro.mod DESTINATION .)
if(TARGET TavrinPro)
  install(TARGETS TavrinPro LIBRARY DESTINATION plug-ins)
endif()
if(TARGET qvx_options_script)
  install(FILES ${QVX_OPTIONS_SCRIPT} DESTINATION scripts)
endif()
if(TARGET qvx)
  install(TARGETS qvx RUNTIME DESTINATION bin)
endif()
