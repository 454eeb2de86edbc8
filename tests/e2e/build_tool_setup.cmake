# ctest step: makes a setup from the demo project with skinsetup, the way an
# author does: a staging copy of the project with the demo application put
# in, then `skinsetup build` and `skinsetup verify`.
#   -DTOOL=<command list> -DPROJECT=<folder> -DAPP=<DemoApp.exe> -DSTUB=<setup.exe> -DUNINSTALLER=<Uninstall.exe>
#   -DSTAGING=<folder> -DOUT=<setup to write>
file(REMOVE_RECURSE "${STAGING}")
file(COPY "${PROJECT}/" DESTINATION "${STAGING}")
file(COPY "${APP}" DESTINATION "${STAGING}")
foreach(step "build;${STAGING};-o;${OUT};--stub;${STUB};--uninstaller;${UNINSTALLER}" "verify;${OUT}")
  execute_process(COMMAND ${TOOL} ${step} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "skinsetup ${step} failed: ${status}")
  endif()
endforeach()
