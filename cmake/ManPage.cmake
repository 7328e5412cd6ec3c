# Writes a command's manual page from its --help and --version with
# help2man, gzipped as Debian keeps them, with a SEE ALSO section naming
# the other commands and the file format's document. The build folder the
# command runs from is replaced by the folder it is installed in, wherever
# --help names it.
#
# cmake -DHELP2MAN=... -DPROGRAM=... -DNAME=<name line> -DCOMMANDS=<a,b,...>
#       -DDOC_DIR=... -DBUILD_DIR=... -DINSTALLED_DIR=... -DOUTPUT=<page>.1.gz
#       -P ManPage.cmake
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
get_filename_component(command ${PROGRAM} NAME_WE)
string(REPLACE "," ";" commands "${COMMANDS}")
list(REMOVE_ITEM commands ${command})
list(TRANSFORM commands APPEND " (1)")
list(TRANSFORM commands PREPEND ".BR ")
list(JOIN commands ",\n" see_also)
string(PREPEND see_also "[SEE ALSO]\n")
string(APPEND see_also "\n.PP\nThe file format, for those who write or repair these files:\n.IR ${DOC_DIR}/format.md .\n")
file(WRITE ${page}.see-also "${see_also}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --name=${NAME} --include=${page}.see-also
          --output=${page}.new ${PROGRAM}
  RESULT_VARIABLE status)
file(REMOVE ${page}.see-also)
if(NOT status EQUAL 0)
  file(REMOVE ${page}.new)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
file(READ ${page}.new text)
file(REMOVE ${page}.new)
string(REPLACE "${BUILD_DIR}" "${INSTALLED_DIR}" text "${text}")
file(WRITE ${page} "${text}")
execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${page}")
endif()
