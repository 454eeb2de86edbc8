# Cross build for 64-bit Windows. Nothing of it ships: it runs the Wine tests
# on machines whose kernel cannot run 32-bit programs, and so no 32-bit Wine.
set(SKINSETUP_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
