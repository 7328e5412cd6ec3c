# Writes a text for Windows readers: CRLF line ends; with SECTION, only the
# Markdown section under the heading "## SECTION", up to the next heading
# of the same level.
#
# cmake -DINPUT=... -DOUTPUT=... [-DSECTION=...] -P WindowsText.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
if(SECTION)
  string(FIND "${text}" "\n## ${SECTION}\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${INPUT} has no section \"## ${SECTION}\"")
  endif()
  math(EXPR start "${start} + 1")
  string(SUBSTRING "${text}" ${start} -1 text)
  string(FIND "${text}" "\n## " end)
  if(NOT end EQUAL -1)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${text}" 0 ${end} text)
  endif()
  string(STRIP "${text}" text)
  string(APPEND text "\n")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
