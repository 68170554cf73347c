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

# vela_add_folder_tests(LIBS lib ...): one test executable per *_test.cpp in the
# calling folder, each linked with the given libraries and the test doubles.
# A test that needs more can add to its target (named after the file) afterwards.
function(vela_add_folder_tests)
  cmake_parse_arguments(T "" "" "LIBS;ENV" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    vela_add_test(NAME ${folder}_${name} SOURCES ${src}
      LIBS ${T_LIBS} vela_test_support Qt6::Test ENV ${T_ENV})
    target_compile_definitions(${folder}_${name} PRIVATE
      VELA_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
      VELA_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  endforeach()
endfunction()

# vela_add_snapshot_step(NAME name COMMAND cmd args... [DEPENDS target ...]):
# one step of `make snapshots`, which renders windows and images to PNG files
# in ${VELA_SNAPSHOT_DIR}.
set(VELA_SNAPSHOT_DIR ${CMAKE_BINARY_DIR}/snapshots)
function(vela_add_snapshot_step)
  cmake_parse_arguments(S "" "NAME" "COMMAND;DEPENDS" ${ARGN})
  add_custom_target(snapshot_${S_NAME}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELA_SNAPSHOT_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${S_COMMAND}
    DEPENDS ${S_DEPENDS}
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY VELA_SNAPSHOT_STEPS snapshot_${S_NAME})
endfunction()

# vela_folder_library(NAME target LIBS ...): the static library of one source
# folder, from every *.cpp in it. Links to folder libraries that do not exist
# yet are skipped; cycles between folder libraries are fine for static libraries.
function(vela_folder_library)
  cmake_parse_arguments(L "" "NAME" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${L_NAME} STATIC ${sources})
  target_include_directories(${L_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(lib ${L_LIBS})
    if(lib MATCHES "^vela_")
      target_link_libraries(${L_NAME} PUBLIC $<TARGET_NAME_IF_EXISTS:${lib}>)
    else()
      target_link_libraries(${L_NAME} PUBLIC ${lib})
    endif()
  endforeach()
endfunction()

# vela_add_skinned_tests(target ...): test executables that build windows. They
# run from ${CMAKE_BINARY_DIR}/tests/skinned beside a link to the generated
# skin folder, so the skin catalogue finds its images as the program does.
function(vela_add_skinned_tests)
  set(dir ${CMAKE_BINARY_DIR}/tests/skinned)
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${CMAKE_BINARY_DIR}/bin/Vela_Pro_Skins ${dir}/Vela_Pro_Skins SYMBOLIC)
  foreach(t ${ARGN})
    set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
    add_dependencies(${t} vela_skins)
  endforeach()
endfunction()
