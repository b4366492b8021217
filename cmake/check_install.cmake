# Installs the build into a fresh prefix and starts the installed server on an
# empty input, as an editor would find it on its PATH:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch folder> -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${installed})")
endif()
set(server "${PREFIX}/bin/zevo-lsp")
if(NOT EXISTS "${server}")
  message(FATAL_ERROR "no ${server} after installing")
endif()
execute_process(COMMAND "${server}" INPUT_FILE /dev/null RESULT_VARIABLE code
                OUTPUT_VARIABLE out ERROR_VARIABLE log)
if(NOT code EQUAL 0 OR NOT out STREQUAL "" OR NOT log MATCHES "EOF alındı, sunucu kapatılıyor...\n$")
  message(FATAL_ERROR "the installed server ended with ${code}, output \"${out}\", log:\n${log}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed and started ${server}")
