list(APPEND KORVANE_WIN32_SOURCES
    ${KORVANE_SOURCE_DIR}/dialog.cpp
    ${KORVANE_SOURCE_DIR}/file_exception_report.cpp
    ${KORVANE_SOURCE_DIR}/modal_ui.cpp
    ${KORVANE_SOURCE_DIR}/win_app.cpp
    ${KORVANE_SOURCE_DIR}/window.cpp)
list(APPEND KORVANE_WIN32_SOURCES ${KORVANE_SOURCE_DIR}/reflect.cpp ${KORVANE_SOURCE_DIR}/subclass.cpp)
