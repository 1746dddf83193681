# cmake -DOUTPUT=<header> -P BuildDate.cmake
# Writes the build date in the compiler's __DATE__ form ("Sep  7 2020": English month, day
# padded with a space, year) as VNQ_BUILD_DATE. The file is rewritten only when the date
# changes, so a build on the same day recompiles nothing. SOURCE_DATE_EPOCH is honoured.
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
string(TIMESTAMP today "%m;%d;%Y")
list(GET today 0 month_number)
list(GET today 1 day)
list(GET today 2 year)
math(EXPR month_index "${month_number} - 1")
list(GET months ${month_index} month)
string(REGEX REPLACE "^0" " " day "${day}")
set(content "// Generated at build time by cmake/BuildDate.cmake.\n#define VNQ_BUILD_DATE \"${month} ${day} ${year}\"\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT "${previous}" STREQUAL "${content}")
  file(WRITE "${OUTPUT}" "${content}")
endif()
