# Fails when EXE carries no manifest that asks for administrator rights.
file(STRINGS ${EXE} found REGEX "requestedExecutionLevel level=\"requireAdministrator\"")
if(NOT found)
  message(FATAL_ERROR "${EXE} has no manifest asking for administrator rights")
endif()
