# Binaries we ship: the linker drops every section nothing calls, and after
# linking the symbols go to NAME.debug beside the binary (for a debugger,
# through the debug link) while the binary itself is stripped.
function(skinsetup_shipped_binary target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
