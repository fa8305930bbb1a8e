# A PC that publishes its catalogue to a share over and over until the tests kill it.
add_executable(publish_burst ${CMAKE_CURRENT_SOURCE_DIR}/support/publish_burst.cpp)
target_link_libraries(publish_burst PRIVATE korvane_win)
cmake_language(DEFER CALL add_dependencies korvane_win_tests publish_burst)
