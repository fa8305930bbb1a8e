# Crashes a running desktop from outside and watches for the next one; and an explorer.exe that
# only proves it was started, put beside the desktop under test.
add_executable(crash_injector ${CMAKE_CURRENT_SOURCE_DIR}/support/crash_injector.cpp)
add_executable(fake_explorer WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/fake_explorer.cpp)
if(MINGW)
    target_link_options(fake_explorer PRIVATE -mwindows)
endif()
cmake_language(DEFER CALL add_dependencies korvane_win_tests crash_injector fake_explorer)
