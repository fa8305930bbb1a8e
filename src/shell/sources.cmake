list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/command_line.cpp
    ${KORVANE_SOURCE_DIR}/startup_rules.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/launcher.cpp
    ${KORVANE_SOURCE_DIR}/shell.cpp)
