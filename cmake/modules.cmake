# One static library per source folder. Sources are collected by glob so that a
# new file in a folder needs no edit here.
function(zevo_module name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# One test executable per tests/<dir>/*_test.cpp, so that one file's state never
# keeps the other folders' tests from building.
function(zevo_tests dir)
  file(GLOB tests CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/${dir}/*_test.cpp")
  foreach(test_source IN LISTS tests)
    get_filename_component(stem "${test_source}" NAME_WE)
    string(REPLACE "/" "_" prefix "${dir}")
    set(target "${prefix}_${stem}")
    add_executable(${target} "${test_source}")
    target_link_libraries(${target} PRIVATE ${ARGN} zevo_test_paths GTest::gtest GTest::gmock GTest::gtest_main)
    # End-to-end tests start the server binary; the others do not wait for it.
    if(dir STREQUAL "e2e")
      add_dependencies(${target} zevo-lsp)
    endif()
    gtest_discover_tests(${target}
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${dir}")
  endforeach()
endfunction()

# One benchmark executable per bench/*_bench.cpp.
function(zevo_benches)
  file(GLOB benches CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/bench/*_bench.cpp")
  foreach(bench_source IN LISTS benches)
    get_filename_component(stem "${bench_source}" NAME_WE)
    add_executable(${stem} "${bench_source}")
    target_link_libraries(${stem} PRIVATE ${ARGN} benchmark::benchmark)
  endforeach()
endfunction()
