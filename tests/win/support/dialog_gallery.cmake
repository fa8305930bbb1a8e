# Shows one small dialog for a while, for looking at it under Xvfb; not part of the test run.
add_executable(dialog_gallery ${CMAKE_CURRENT_SOURCE_DIR}/support/dialog_gallery.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/support/test_pictures.cpp
               ${KORVANE_RESOURCES})
target_link_libraries(dialog_gallery PRIVATE korvane_win)
target_include_directories(dialog_gallery PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
