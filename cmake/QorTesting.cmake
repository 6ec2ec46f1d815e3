# Test registration: one CTest test per test executable; GoogleTest runs its cases inside.
# Windows tests run under Wine through CMAKE_CROSSCOMPILING_EMULATOR; GUI tests also get a
# private Xvfb. Tests find their artefact folder in QOR_ARTIFACTS (a Windows path under Wine).

if(WIN32)
  find_package(GTest CONFIG REQUIRED)
else()
  find_package(GTest REQUIRED)
endif()

set(QOR_ARTIFACTS_DIR "${CMAKE_BINARY_DIR}/artifacts")
file(MAKE_DIRECTORY "${QOR_ARTIFACTS_DIR}")
if(WIN32)
  string(REPLACE "/" "\\" _qor_artifacts_win "Z:${QOR_ARTIFACTS_DIR}")
else()
  set(_qor_artifacts_win "${QOR_ARTIFACTS_DIR}")
endif()

function(_qor_test_environment name)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "QOR_ARTIFACTS=${_qor_artifacts_win};QOR_ARTIFACTS_UNIX=${QOR_ARTIFACTS_DIR};QOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# qor_add_test(target): a GoogleTest executable, run natively or under Wine.
function(qor_add_test target)
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
  add_test(NAME ${target} COMMAND ${target})
  _qor_test_environment(${target})
endfunction()

# qor_add_gui_test(target): as qor_add_test, inside a private Xvfb display, on a Wine desktop
# of that display's own (desktop_run), so that GUI tests can run side by side.
function(qor_add_gui_test target)
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
  add_test(NAME ${target}
           COMMAND "${CMAKE_SOURCE_DIR}/scripts/with-xvfb" ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:desktop_run> $<TARGET_FILE:${target}>)
  _qor_test_environment(${target})
endfunction()
