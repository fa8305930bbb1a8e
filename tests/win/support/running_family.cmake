# A program with a window, and a launcher that starts it and exits, for the running-programs tests.
add_executable(running_family WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/running_family.cpp)
if(MINGW)
    target_link_options(running_family PRIVATE -mwindows)
endif()
cmake_language(DEFER CALL add_dependencies korvane_win_tests running_family)
