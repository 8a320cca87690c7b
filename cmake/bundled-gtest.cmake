# GoogleTest built from its sources with the project's own compiler, for the
# builds that cannot link the host's prebuilt library (mingw-w64, -m32).
# Debian ships the sources in /usr/src/googletest (package googletest).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VELDRIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not held to the project's warning flags.
foreach(gtest_target gtest gtest_main)
  set_property(TARGET ${gtest_target} PROPERTY COMPILE_OPTIONS "")
  target_compile_options(${gtest_target} PRIVATE -w)
endforeach()
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
