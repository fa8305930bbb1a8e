list(APPEND KORVANE_PORTABLE_SOURCES ${KORVANE_SOURCE_DIR}/room_rules.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/room_catalogue.cpp
    ${KORVANE_SOURCE_DIR}/room_copy.cpp
    ${KORVANE_SOURCE_DIR}/sha256_win.cpp
    ${KORVANE_SOURCE_DIR}/catalogue_source_dialog.cpp)
