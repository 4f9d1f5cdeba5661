# vireo_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [ARGS a b] [LABELS l] [TIMEOUT s])
# One Qt Test executable per test file; GUI tests run on the offscreen platform.
# Labels: e2e (real time over pseudo-terminals), soak (scripts/run-soak only),
# tsan (threads meet in our own code: scripts/run-tests --tsan). The target
# tests_LABEL builds every test of that label.
function(vireo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VIREO_SOURCE_DIR=${PROJECT_SOURCE_DIR};VIREO_BIN_DIR=${CMAKE_BINARY_DIR}/bin;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    LABELS "${T_LABELS}")
  # End-to-end tests pace a virtual board against real time: they run one at a
  # time, so that another test's load cannot delay the programmer past the
  # board's gap between read replies.
  if("e2e" IN_LIST T_LABELS)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  foreach(label ${T_LABELS})
    if(NOT TARGET tests_${label})
      add_custom_target(tests_${label})
    endif()
    add_dependencies(tests_${label} ${name})
  endforeach()
endfunction()
