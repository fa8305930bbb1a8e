# The end-to-end tests wait with it until a window is gone as Windows sees it.
add_executable(window_gone ${CMAKE_CURRENT_SOURCE_DIR}/support/window_gone.cpp)
