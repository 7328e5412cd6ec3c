# A cross build takes header-only libraries (CLI11, nlohmann/json) from the
# build machine's Debian packages: each library's own header folder, alone
# in a folder of the build tree through a symbolic link, so that no other
# header of the build machine (its C library's above all) reaches the
# compiles. A small package configuration file there gives the library's
# usual target, so that find_package(<package>) works as in a native build.
#
# build_machine_headers(<package> <target> <folder under /usr/include>)
function(build_machine_headers package target folder)
  set(root ${CMAKE_BINARY_DIR}/build-machine-headers/${package})
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "${package}: /usr/include/${folder} is missing; install its Debian package")
  endif()
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
  file(WRITE ${root}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${root}\")\n"
       "endif()\n")
  set(${package}_DIR ${root} CACHE PATH "${package}'s headers from the build machine" FORCE)
endfunction()
