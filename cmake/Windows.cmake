# The Windows form of the build: the Win32 platform layer, the library as
# OL-7T.vst3\Contents\x86_64-win\OL-7T.vst3 with a VERSIONINFO resource and
# exactly the exports of core/exports.def, the same library as OL-7T.dll for
# VST 2 hosts, and test programs run through Wine.
set(OL7T_PAL_PLATFORM win32)
set(OL7T_LIBRARY_DIR ${OL7T_BUNDLE_DIR}/Contents/x86_64-win)
set(OL7T_VST2_LIBRARY ${PROJECT_BINARY_DIR}/OL-7T.dll)

# No MinGW runtime DLL has to lie beside the library or the programs.
add_link_options(-static)
# Windows keeps the stack 16-byte aligned and GCC cannot realign it for the
# 32- and 64-byte vectors of the AVX kernels: spills must not use the aligned
# moves that fault on such a stack.
add_compile_options(-Wa,-muse-unaligned-vector-move)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# ol7t_windows_plugin_library(target): the plug-in library's Windows form.
function(ol7t_windows_plugin_library target)
  configure_file(${PROJECT_SOURCE_DIR}/core/version.rc.in ${PROJECT_BINARY_DIR}/version.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/core/exports.def ${PROJECT_BINARY_DIR}/version.rc)
  set_target_properties(${target} PROPERTIES SUFFIX ".vst3")
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${OL7T_VST2_LIBRARY}
    COMMENT "The VST 2 form: OL-7T.dll"
    VERBATIM)
endfunction()

# Programs built here run through Wine, in a 64-bit prefix of the build tree
# created on first use; no dialog may ask for the Mono or Gecko add-ons.
find_program(OL7T_WINE wine)
if(OL7T_WINE)
  set(OL7T_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run)
endif()
