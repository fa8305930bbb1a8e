list(APPEND KORVANE_PORTABLE_SOURCES
    ${KORVANE_SOURCE_DIR}/crash_recovery.cpp
    ${KORVANE_SOURCE_DIR}/integration_rules.cpp
    ${KORVANE_SOURCE_DIR}/lockdown_profile.cpp
    ${KORVANE_SOURCE_DIR}/password_verifier.cpp
    ${KORVANE_SOURCE_DIR}/rot13.cpp)
list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/app.cpp
    ${KORVANE_SOURCE_DIR}/crash_notice.cpp
    ${KORVANE_SOURCE_DIR}/crash_reporter.cpp
    ${KORVANE_SOURCE_DIR}/watcher.cpp
    ${KORVANE_SOURCE_DIR}/integration.cpp
    ${KORVANE_SOURCE_DIR}/integration_dialog.cpp
    ${KORVANE_SOURCE_DIR}/keyboard_filter.cpp
    ${KORVANE_SOURCE_DIR}/lockdown.cpp
    ${KORVANE_SOURCE_DIR}/lockdown_session.cpp
    ${KORVANE_SOURCE_DIR}/password_store.cpp
    ${KORVANE_SOURCE_DIR}/registry_plus.cpp)
