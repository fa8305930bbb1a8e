list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/session_rules.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/customer_session.cpp
    ${KORVANE_SOURCE_DIR}/folder_cleaner.cpp
    ${KORVANE_SOURCE_DIR}/program_job.cpp
    ${KORVANE_SOURCE_DIR}/session_folders.cpp
    ${KORVANE_SOURCE_DIR}/session_notice.cpp
    ${KORVANE_SOURCE_DIR}/session_settings.cpp
    ${KORVANE_SOURCE_DIR}/sessions_dialog.cpp)
