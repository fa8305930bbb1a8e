list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/button_glyphs.cpp
    ${KORVANE_SOURCE_DIR}/tab_layout.cpp
    ${KORVANE_SOURCE_DIR}/tab_state_codec.cpp)
