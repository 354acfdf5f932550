# Icons and bitmaps are drawn by tools/artwork.py from tools/art_<set>.py at
# build time into <binary dir>/art.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(filvane_artwork target script set)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/art)
  add_custom_command(
    OUTPUT ${out}/stamp
    COMMAND ${Python3_EXECUTABLE} ${script} ${set} ${out}
    COMMAND ${CMAKE_COMMAND} -E touch ${out}/stamp
    DEPENDS ${script} ${CMAKE_SOURCE_DIR}/tools/art_${set}.py
    COMMENT "Drawing the ${set} icons")
  add_custom_target(${target} DEPENDS ${out}/stamp)
endfunction()
