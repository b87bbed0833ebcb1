# qvx_maya_plugin_module(target): names and links a plug-in module as Maya expects it on each
# platform: "TavrinPro.so" on Linux, ".mll" on Windows, ".bundle" on macOS, no "lib" prefix,
# and only initializePlugin, uninitializePlugin and MApiVersion visible (on Linux the version
# script src/plugin/TavrinPro.map enforces the same for code compiled with default visibility).
function(qvx_maya_plugin_module target)
  set_target_properties(${target} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    set_target_properties(${target} PROPERTIES SUFFIX ".mll")
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES SUFFIX ".bundle")
    target_link_options(${target} PRIVATE "LINKER:-exported_symbol,_MApiVersion"
                        "LINKER:-exported_symbol,__Z16initializePlugin7MObject"
                        "LINKER:-exported_symbol,__Z18uninitializePlugin7MObject")
  endif()
endfunction()
