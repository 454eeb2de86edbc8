# ctest step: an application folder of a few hundred small files in nested
# folders made into setups by the installed layout's skinsetup, the way an
# author does: the native and the cross build installed into one prefix,
# then `init`, `build` (no --stub, no --uninstaller) and a signed `build`
# with a throwaway certificate.
#   -DNATIVE_BUILD=<folder> -DCROSS_BUILD=<folder> -DAPP=<DemoApp.exe> -DWORK=<folder>
file(REMOVE_RECURSE "${WORK}")
set(prefix "${WORK}/prefix")
set(app "${WORK}/TreeApp")
foreach(build "${NATIVE_BUILD}" "${CROSS_BUILD}")
  execute_process(COMMAND ${CMAKE_COMMAND} --install "${build}" --prefix "${prefix}" OUTPUT_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install ${build} failed: ${status}")
  endif()
endforeach()

file(COPY "${APP}" DESTINATION "${app}")
file(RENAME "${app}/DemoApp.exe" "${app}/TreeApp.exe")
file(WRITE "${app}/README.txt" "Tree application\r\n")
foreach(i RANGE 1 300)
  math(EXPR set "${i} % 6")
  math(EXPR level "${i} % 4")
  if(level EQUAL 0)
    set(folder "${app}/data${set}")
  else()
    set(folder "${app}/data${set}/level${level}/deeper")
  endif()
  file(WRITE "${folder}/file${i}.txt" "file ${i} in ${folder}\r\n")
endforeach()

set(tool "${prefix}/bin/skinsetup")
execute_process(COMMAND openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=SkinSetupE2E
                  -keyout "${WORK}/key.pem" -out "${WORK}/cert.pem" OUTPUT_QUIET ERROR_QUIET)
file(WRITE "${WORK}/password.txt" "e2e\n")
execute_process(COMMAND openssl pkcs12 -export -inkey "${WORK}/key.pem" -in "${WORK}/cert.pem"
                  -out "${WORK}/cert.pfx" -passout "file:${WORK}/password.txt" OUTPUT_QUIET ERROR_QUIET)
foreach(step "init;${app};${WORK}/project"
             "build;${WORK}/project;-o;${WORK}/TreeSetup.exe"
             "build;${WORK}/project;-o;${WORK}/TreeSetupSigned.exe;--sign;${WORK}/cert.pfx;--sign-password-file;${WORK}/password.txt"
             "verify;${WORK}/TreeSetupSigned.exe")
  execute_process(COMMAND "${tool}" ${step} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "skinsetup ${step} failed: ${status}")
  endif()
endforeach()
execute_process(COMMAND osslsigncode verify -CAfile "${WORK}/cert.pem" -in "${WORK}/TreeSetupSigned.exe"
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the signed setup does not verify: ${status}")
endif()
