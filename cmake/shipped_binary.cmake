# Binaries we ship: the linker drops every section nothing calls, and after
# linking the symbols go to NAME.debug beside the binary (for a debugger,
# through the debug link) while the binary itself is stripped.
#
# In a Windows Release build their own code is also optimised whole at link
# time: the layers and the runtime carry the compiler's intermediate code
# beside their machine code, and the shipped programs are compiled from it
# once more, as one unit (-flto-partition=one: the mingw-w64 compiler of
# Debian 12 stops with an internal error when it splits the program).
# Everything else, the tests above all, links the machine code as it is
# (-fno-lto), which is quicker. The C libraries of build-cross-deps.sh stay
# plain objects: built for link-time optimisation too they made the stub 3 KB
# larger, as their functions then get unwind tables.
#   skinsetup_shipped_code(TARGET)     for a library whose code ships
#   skinsetup_shipped_binary(TARGET)   after add_executable(TARGET ...)
set(SKINSETUP_SHIPPED_CODE_OPTIONS -Os)
if(WIN32)
  list(APPEND SKINSETUP_SHIPPED_CODE_OPTIONS -flto -ffat-lto-objects)
  # Static libraries of our own are archived and indexed by the compiler's
  # wrappers, which know the intermediate code.
  if(CMAKE_CXX_COMPILER_AR AND CMAKE_CXX_COMPILER_RANLIB)
    set(CMAKE_AR ${CMAKE_CXX_COMPILER_AR})
    set(CMAKE_RANLIB ${CMAKE_CXX_COMPILER_RANLIB})
  endif()
  add_link_options("$<$<AND:$<CONFIG:Release>,$<NOT:$<BOOL:$<TARGET_PROPERTY:SKINSETUP_SHIPPED>>>>:-fno-lto>")
endif()

function(skinsetup_shipped_code target)
  if(WIN32)
    target_compile_options(${target} PRIVATE "$<$<CONFIG:Release>:${SKINSETUP_SHIPPED_CODE_OPTIONS}>")
  endif()
endfunction()

function(skinsetup_shipped_binary target)
  skinsetup_shipped_code(${target})
  set_target_properties(${target} PROPERTIES SKINSETUP_SHIPPED ON)
  target_link_options(${target} PRIVATE -Wl,--gc-sections
    "$<$<CONFIG:Release>:${SKINSETUP_SHIPPED_CODE_OPTIONS};-flto-partition=one>")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
