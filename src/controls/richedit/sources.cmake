list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/ruler_geometry.cpp
    ${KORVANE_SOURCE_DIR}/text_format.cpp
    ${KORVANE_SOURCE_DIR}/toolbar_template.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/rrec_messages.cpp
    ${KORVANE_SOURCE_DIR}/rich_edit_format.cpp
    ${KORVANE_SOURCE_DIR}/ruler_rich_edit.cpp
    ${KORVANE_SOURCE_DIR}/rrec_ruler.cpp
    ${KORVANE_SOURCE_DIR}/font_combo_box.cpp
    ${KORVANE_SOURCE_DIR}/size_combo_box.cpp
    ${KORVANE_SOURCE_DIR}/rrec_toolbar.cpp
    ${KORVANE_SOURCE_DIR}/ruler_rich_edit_ctrl.cpp
    ${KORVANE_SOURCE_DIR}/ruler_rich_edit_commands.cpp)
