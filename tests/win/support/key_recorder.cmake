# A window for the lockdown test that writes down every key that reaches it.
add_executable(key_recorder WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/key_recorder.cpp)
if(MINGW)
    target_link_options(key_recorder PRIVATE -mwindows)
endif()
cmake_language(DEFER CALL add_dependencies korvane_win_tests key_recorder)
