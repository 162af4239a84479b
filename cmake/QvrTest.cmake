# qvr_add_test(NAME LABEL unit|window|e2e SOURCES a.cpp ... LIBS lib ...)
# One Qt Test executable per call, registered with CTest, offscreen, with its own temporary folder.
function(qvr_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  # Without the simulated ECU there is nothing to talk to.
  if(NOT QVR_SIMULATOR AND "qvr_ecusim" IN_LIST T_LIBS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test qvr_test_support ${T_LIBS})
  set(workdir ${CMAKE_BINARY_DIR}/testtmp/${name})
  file(MAKE_DIRECTORY ${workdir})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${workdir})
  if(T_LABEL STREQUAL "e2e")
    set(timeout 600)
  elseif(T_LABEL STREQUAL "window")
    set(timeout 300)
  else()
    set(timeout 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS ${T_LABEL}
    TIMEOUT ${timeout}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TMPDIR=${workdir};ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tools/sanitizers/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
