# Shows tab strips in the desktop's style for a while, for looking at them under Xvfb; not part
# of the test run.
add_executable(tabctrl_gallery ${CMAKE_CURRENT_SOURCE_DIR}/support/tabctrl_gallery.cpp
               ${KORVANE_RESOURCES})
target_link_libraries(tabctrl_gallery PRIVATE korvane_win)
if(MINGW)
    target_link_options(tabctrl_gallery PRIVATE -mwindows)
endif()
