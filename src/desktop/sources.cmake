list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/catalogue_edits.cpp
    ${KORVANE_SOURCE_DIR}/desktop_commands.cpp
    ${KORVANE_SOURCE_DIR}/grid_layout.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/icon_cache.cpp
    ${KORVANE_SOURCE_DIR}/icon_image.cpp
    ${KORVANE_SOURCE_DIR}/icon_painter.cpp
    ${KORVANE_SOURCE_DIR}/main_frame.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_commands.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_editing.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_menus.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_mouse.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_paint.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_programs.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_room.cpp
    ${KORVANE_SOURCE_DIR}/main_frame_session.cpp
    ${KORVANE_SOURCE_DIR}/picture_loader.cpp
    ${KORVANE_SOURCE_DIR}/running_programs.cpp
    ${KORVANE_SOURCE_DIR}/system_actions.cpp)
