# Shows the description editor with formatted text for a while, for looking at it under Xvfb;
# not part of the test run.
add_executable(richedit_gallery ${CMAKE_CURRENT_SOURCE_DIR}/support/richedit_gallery.cpp
               ${KORVANE_RESOURCES})
target_link_libraries(richedit_gallery PRIVATE korvane_win)
