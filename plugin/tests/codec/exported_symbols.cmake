# Compares the dynamic symbols that LIBRARY defines with the list in EXPECTED,
# so that a helper left visible or an entry point lost fails the build's tests.
# Usage: cmake -DNM=<nm> -DLIBRARY=<.so> -DEXPECTED=<list> -P exported_symbols.cmake
cmake_minimum_required(VERSION 3.20)

execute_process(
  COMMAND ${NM} -D --defined-only -C -j ${LIBRARY}
  OUTPUT_VARIABLE _out
  RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" _actual "${_out}")
list(FILTER _actual EXCLUDE REGEX "^$")
list(REMOVE_DUPLICATES _actual)
list(SORT _actual)

file(STRINGS ${EXPECTED} _expected)
list(SORT _expected)

set(_extra ${_actual})
list(REMOVE_ITEM _extra ${_expected})
set(_missing ${_expected})
list(REMOVE_ITEM _missing ${_actual})
if(_extra OR _missing)
  list(JOIN _extra "\n  " _extra_text)
  list(JOIN _missing "\n  " _missing_text)
  message(FATAL_ERROR "exported symbols differ\nunexpected:\n  ${_extra_text}\nmissing:\n  ${_missing_text}")
endif()
