# A program that starts a child and never ends by itself, for the customer session tests.
add_executable(session_family WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/session_family.cpp)
if(MINGW)
    target_link_options(session_family PRIVATE -mwindows)
endif()
cmake_language(DEFER CALL add_dependencies korvane_win_tests session_family)
