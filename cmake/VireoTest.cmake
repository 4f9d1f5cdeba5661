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
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # End-to-end tests pace a virtual board against real time. They start only when
  # every other test has ended, so that no test's load on the processors delays the
  # programmer past the board's gap between read replies. They may run side by side
  # with each other: each sleeps nearly all its time, waiting on the line. They are
  # registered at the end of the configure, when the list of other tests is whole.
  if("e2e" IN_LIST T_LABELS)
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL vireo_register_test \
      [[${name}]] [[${CMAKE_CURRENT_BINARY_DIR}]] [[${T_TIMEOUT}]] [[${T_LABELS}]] [[${T_ARGS}]])")
  else()
    vireo_register_test(${name} ${CMAKE_CURRENT_BINARY_DIR} ${T_TIMEOUT} "${T_LABELS}" "${T_ARGS}")
    vireo_not_end_to_end(${name})
  endif()
  foreach(label ${T_LABELS})
    if(NOT TARGET tests_${label})
      add_custom_target(tests_${label})
    endif()
    add_dependencies(tests_${label} ${name})
  endforeach()
endfunction()

# A test the end-to-end tests wait for (one added with add_test of its own).
function(vireo_not_end_to_end name)
  set_property(GLOBAL APPEND PROPERTY VIREO_OTHER_TESTS ${name})
endfunction()

function(vireo_register_test name dir timeout labels args)
  add_test(NAME ${name} COMMAND ${name} ${args} WORKING_DIRECTORY ${dir})
  # The Windows build's tests run under Wine, where the Linux tree is drive Z: (a
  # path without a drive would name the drive of the test's working directory), and
  # which keeps QT_ variables from Windows programs: its window tests run on the
  # Windows platform under Xvfb (scripts/test-windows).
  set(tree "")
  if(WIN32)
    set(tree "Z:")
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${timeout}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VIREO_SOURCE_DIR=${tree}${PROJECT_SOURCE_DIR};VIREO_BIN_DIR=${tree}${CMAKE_BINARY_DIR}/bin;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    LABELS "${labels}")
  if("e2e" IN_LIST labels)
    get_property(others GLOBAL PROPERTY VIREO_OTHER_TESTS)
    set_tests_properties(${name} PROPERTIES DEPENDS "${others}")
  endif()
endfunction()
