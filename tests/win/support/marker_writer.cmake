# A program the start-up tests launch for real; it leaves a marker file with its arguments.
add_executable(marker_writer WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/support/marker_writer.cpp)
if(MINGW)
    target_link_options(marker_writer PRIVATE -mwindows)
endif()
target_link_libraries(marker_writer PRIVATE shell32)
# This file is read before the test executable is defined: add the dependency once it is.
cmake_language(DEFER CALL add_dependencies korvane_win_tests marker_writer)
