# A desktop killed by the tests in the middle of a burst of edits.
add_executable(edit_burst WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/edit_burst.cpp
                          ${KORVANE_RESOURCES})
target_include_directories(edit_burst PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(edit_burst PRIVATE korvane_win)
if(MINGW)
    target_link_options(edit_burst PRIVATE -mwindows)
endif()
cmake_language(DEFER CALL add_dependencies korvane_win_tests edit_burst)
