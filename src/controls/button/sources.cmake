list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/button_layout.cpp
    ${KORVANE_SOURCE_DIR}/grey_icon.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/odd_button.cpp
    ${KORVANE_SOURCE_DIR}/xbutton_xp.cpp
    ${KORVANE_SOURCE_DIR}/xtheme_helper.cpp)
