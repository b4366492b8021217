# The layers of src/, from the lowest up: a folder may include only the folders
# before it, and its library links exactly the folders it includes ("main" is
# src/ itself, the entry point). Checked by the `layers` test.
set(ZEVO_LAYERS platform base runtime text json url parser lsp main)

# One static library per source folder. Sources are collected by glob so that a
# new file in a folder needs no edit here. A file named *_windows.cpp is built
# only for Windows and one named *_posix.cpp only for the other systems.
function(zevo_module name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_windows\\.cpp$")
  endif()
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
    # GCC 12 at -O3 takes std::string's own inserts (a literal joined to a
    # string, an insert of a literal) for overlapping copies; the report is
    # the compiler's mistake, not the tests'.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    target_link_libraries(${target} PRIVATE ${ARGN} zevo_test_paths GTest::gtest GTest::gmock GTest::gtest_main)
    # End-to-end tests start the server binary; the others do not wait for it.
    if(dir STREQUAL "e2e")
      add_dependencies(${target} zevo-lsp zevo_closed_pipe_text)
    endif()
    gtest_discover_tests(${target}
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      DISCOVERY_MODE PRE_TEST
      # Listing the tests under an emulator on a busy machine can take seconds.
      DISCOVERY_TIMEOUT 120
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

# Writes what the layer check reads: the layer order and, for each layer, the
# layers its target links. The allocator is linked into every executable for
# its operator new, which nobody includes, so it is left out of main's links.
function(zevo_write_layer_links file)
  set(text "set(ZEVO_LAYERS ${ZEVO_LAYERS})\n")
  foreach(layer IN LISTS ZEVO_LAYERS)
    if(layer STREQUAL "main")
      set(target zevo-lsp)
    else()
      set(target zevo_${layer})
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(libraries ${target} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(libraries ${target} LINK_LIBRARIES)
    endif()
    set(linked "")
    foreach(library IN LISTS libraries)
      if(library MATCHES "^zevo_(.+)$" AND NOT (layer STREQUAL "main" AND library STREQUAL "zevo_runtime"))
        list(APPEND linked "${CMAKE_MATCH_1}")
      endif()
    endforeach()
    string(APPEND text "set(ZEVO_LINKS_${layer} ${linked})\n")
  endforeach()
  file(WRITE "${file}" "${text}")
endfunction()
