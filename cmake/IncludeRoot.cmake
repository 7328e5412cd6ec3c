# Each library is included by the path of its folder ("document/...",
# "hostsim/store/..."), through an include root of its own in the build
# tree that holds that folder alone, as a symbolic link. A target sees the
# folders of the libraries it links and no other, so including a header of
# a library not linked fails to compile.
#
# library_include_root(<target> <PUBLIC|INTERFACE|PRIVATE> [<folder>])
#   <folder>, relative to the project's root, defaults to the folder of the
#   calling CMakeLists.txt.
function(library_include_root target scope)
  if(ARGC GREATER 2)
    set(folder ${ARGV2})
  else()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()
