list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/colour_table.cpp
    ${KORVANE_SOURCE_DIR}/popup_geometry.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/colour_picker.cpp
    ${KORVANE_SOURCE_DIR}/colour_popup.cpp)
