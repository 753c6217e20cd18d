# korvanta_export_headers(<target>)
#
# The target's users include its headers as "<folder>/name.h", <folder> being
# the folder of the calling CMakeLists.txt, and reach no other folder of the
# source tree through it: an include of a layer the target does not link
# fails to compile. The include root is a folder of the build tree holding one
# entry named <folder>: a symbolic link to the source folder or, where links
# cannot be made (Windows without the right to make them), a folder of
# one-line headers that each include the real one.
function(korvanta_export_headers target)
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  set(root "${PROJECT_BINARY_DIR}/include/${folder}")
  set(entry "${root}/${folder}")
  file(MAKE_DIRECTORY "${root}")
  if(IS_SYMLINK "${entry}")
    file(READ_SYMLINK "${entry}" points_to)
    if(NOT points_to STREQUAL CMAKE_CURRENT_SOURCE_DIR)
      file(REMOVE "${entry}")
    endif()
  endif()
  if(NOT EXISTS "${entry}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${entry}" RESULT link_result SYMBOLIC)
  endif()
  if(NOT IS_SYMLINK "${entry}")
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    foreach(header IN LISTS headers)
      file(CONFIGURE OUTPUT "${entry}/${header}"
           CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n" @ONLY)
    endforeach()
  endif()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
