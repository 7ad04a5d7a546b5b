# kivo_check_platform_calls(TARGET DIR): TARGET builds only after platform-calls-check.cmake
# has found no direct system call outside DIR's *_posix.cpp and *_win32.cpp files.
function(kivo_check_platform_calls target dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_platform_calls.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/platform-calls-check.cmake
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/platform-calls-check.cmake
    COMMENT "Looking for system calls outside the platform files of ${dir}")
  add_custom_target(${target}_platform_calls DEPENDS ${stamp})
  add_dependencies(${target} ${target}_platform_calls)
endfunction()
