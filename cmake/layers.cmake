# The layers of the program are libraries, and a layer may include only its
# own headers and those of the layers it links. Each layer's include path is
# a folder of its own in the build tree holding a single link, to its source
# folder; linking a lower layer brings that layer's folder along. So an
# include of a layer above (or beside) fails to compile: "No such file".
#   skinsetup_layer(TARGET FOLDER)   after add_library(TARGET ...)
function(skinsetup_layer target folder)
  set(view ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${view})
  if(NOT EXISTS ${view}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} RESULT failed SYMBOLIC)
    if(failed)
      # Where links cannot be made the layers still build, without the fence.
      message(WARNING "No link for layer ${folder} (${failed}): its includes go unchecked")
      target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
      return()
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${view})
endfunction()
