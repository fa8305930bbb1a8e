list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/button_glyphs.cpp
    ${KORVANE_SOURCE_DIR}/tab_layout.cpp
    ${KORVANE_SOURCE_DIR}/tab_state_codec.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/activity_hook.cpp
    ${KORVANE_SOURCE_DIR}/draw_helpers.cpp
    ${KORVANE_SOURCE_DIR}/keyboard_hook.cpp
    ${KORVANE_SOURCE_DIR}/tab_button_images.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_interfaces.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_layout.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_mouse.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_paint.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_service.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_state.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_style_base.cpp
    ${KORVANE_SOURCE_DIR}/tab_ctrl_style_vs2010.cpp
    ${KORVANE_SOURCE_DIR}/virtual_window.cpp)
