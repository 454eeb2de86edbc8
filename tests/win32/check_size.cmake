# Fails when a shipped binary grows past its budget:
#   cmake -DEXE=setup.exe -DMAX_BYTES=716800 -DCONFIG=Release -P check_size.cmake
# Only the Release build is the one shipped; in any other configuration the
# measure says nothing, and the test says so (ctest counts it as skipped).
if(NOT CONFIG STREQUAL "Release")
  message(STATUS "${EXE} is a ${CONFIG} build, not the Release build that ships: not measured")
  return()
endif()

# What ships is stripped (cmake/shipped_binary.cmake): the COFF header names
# no symbol table. A binary with one is not what the tool puts into a setup.
# The little-endian number of `bytes` bytes at `offset` of the hex text.
function(read_le hex offset bytes out)
  set(value 0)
  math(EXPR last "${bytes} - 1")
  foreach(i RANGE ${last})
    math(EXPR at "(${offset} + ${last} - ${i}) * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()
file(READ "${EXE}" head LIMIT 1024 HEX)
read_le("${head}" 60 4 pe)                 # e_lfanew
math(EXPR symbols_at "${pe} + 4 + 12")    # NumberOfSymbols in the COFF header
read_le("${head}" ${symbols_at} 4 symbols)
if(NOT symbols EQUAL 0)
  message(FATAL_ERROR "${EXE} carries ${symbols} symbols: it is not stripped as shipped binaries are")
endif()

file(SIZE "${EXE}" size)
math(EXPR kib "${size} / 1024")
math(EXPR max_kib "${MAX_BYTES} / 1024")
if(size GREATER MAX_BYTES)
  message(FATAL_ERROR "${EXE} has ${size} bytes (${kib} KiB), more than its budget of ${MAX_BYTES} (${max_kib} KiB)")
endif()
message(STATUS "${EXE}: ${size} bytes (${kib} KiB) of ${MAX_BYTES} (${max_kib} KiB)")
