list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/icons.cpp)

# The platform half of the atomic save. Both halves go into korvane_portable (each only in its
# own tree) because icons.cpp calls it: in KORVANE_WIN32_SOURCES the Windows half would sit in
# korvane_win, which precedes korvane_portable on the link line, and a static link would leave
# AtomicFile unresolved.
if(WIN32)
    list(APPEND KORVANE_PORTABLE_SOURCES ${KORVANE_SOURCE_DIR}/atomic_file_win.cpp)
else()
    list(APPEND KORVANE_PORTABLE_SOURCES ${KORVANE_SOURCE_DIR}/atomic_file_posix.cpp)
endif()
list(APPEND KORVANE_PORTABLE_SOURCES ${KORVANE_SOURCE_DIR}/catalogue_report.cpp)
