# Cross build for Windows with mingw-w64 (posix threads), fully static. The
# toolchain files of the two targets set SKINSETUP_MINGW_TRIPLET and the
# processor, then include this file.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${SKINSETUP_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKINSETUP_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${SKINSETUP_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${SKINSETUP_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${SKINSETUP_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP      ${SKINSETUP_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

# The libraries built for the stub (build-cross-deps.sh) come before the system's.
set(CMAKE_FIND_ROOT_PATH ${SKINSETUP_CROSS_PREFIX} /usr/${SKINSETUP_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
