# Resource scripts: each program's .rc with its drawn icons, the skin and the
# generated version header. The scripts include fragments, headers, the skin
# and icons, none of which the RC rule scans: they are listed, so a change
# rebuilds them.
include(${CMAKE_CURRENT_LIST_DIR}/artwork.cmake)

file(GLOB filvane_rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/*/*.rci ${CMAKE_SOURCE_DIR}/*/*resources.h
     ${CMAKE_SOURCE_DIR}/skin/skins/*.skin)
list(APPEND filvane_rc_inputs ${CMAKE_BINARY_DIR}/generated/filvane_version.h)

# Each program's manifest, from one template and the one version. Filvane
# needs administrator rights for the server's session and open-file calls and
# its settings key under HKLM, Corvap for raw ICMP sockets; brenvik does not.
function(filvane_manifest program level)
  set(MANIFEST_PROGRAM ${program})
  set(MANIFEST_LEVEL ${level})
  set(manifest ${CMAKE_BINARY_DIR}/generated/${program}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/common/program.manifest.in ${manifest} @ONLY)
  set(filvane_rc_inputs ${filvane_rc_inputs} ${manifest} PARENT_SCOPE)
endfunction()
filvane_manifest(Filvane requireAdministrator)
filvane_manifest(Corvap requireAdministrator)
filvane_manifest(brenvik asInvoker)

# Adds `rc` (a path in the source tree) to `target`, with the icons that
# artwork target `art` draws into `art_dir`.
function(filvane_resources target rc art art_dir)
  get_filename_component(rc_dir ${rc} DIRECTORY)
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} ${art})
  target_include_directories(${target} PRIVATE ${art_dir} ${rc_dir} ${CMAKE_SOURCE_DIR}/skin)
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${filvane_rc_inputs}
               ${art_dir}/stamp)
endfunction()
