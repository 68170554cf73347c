# Helpers shared by the folder CMakeLists files.

# vela_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [ENV VAR=value ...])
# One GoogleTest executable per test file group, registered with ctest.
function(vela_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  include(GoogleTest)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENV}" TIMEOUT 300)
endfunction()
