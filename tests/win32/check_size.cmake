# Fails when a shipped binary grows past its budget:
#   cmake -DEXE=setup.exe -DMAX_BYTES=716800 -P check_size.cmake
file(SIZE "${EXE}" size)
math(EXPR kib "${size} / 1024")
math(EXPR max_kib "${MAX_BYTES} / 1024")
if(size GREATER MAX_BYTES)
  message(FATAL_ERROR "${EXE} has ${kib} KiB, more than its budget of ${max_kib} KiB")
endif()
message(STATUS "${EXE}: ${kib} KiB of ${max_kib} KiB")
