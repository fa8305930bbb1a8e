# Shows one small dialog for a while, for looking at it under Xvfb; not part of the test run.
add_executable(dialog_gallery ${CMAKE_CURRENT_SOURCE_DIR}/support/dialog_gallery.cpp
               ${KORVANE_RESOURCES})
target_link_libraries(dialog_gallery PRIVATE korvane_win)
