list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/program_choice.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/about_program.cpp
    ${KORVANE_SOURCE_DIR}/add_edit_icon.cpp
    ${KORVANE_SOURCE_DIR}/app_look.cpp
    ${KORVANE_SOURCE_DIR}/change_icon_dialog.cpp
    ${KORVANE_SOURCE_DIR}/password_dialog.cpp
    ${KORVANE_SOURCE_DIR}/picture_thumbnail.cpp
    ${KORVANE_SOURCE_DIR}/restrictions_dialog.cpp
    ${KORVANE_SOURCE_DIR}/select_background.cpp
    ${KORVANE_SOURCE_DIR}/shortcut_target.cpp
    ${KORVANE_SOURCE_DIR}/tab_plus_dialog.cpp)
