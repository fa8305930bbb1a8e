# korvane.chm from help/, compiled with chmcmd beside korvane.exe. The pages show two of the
# pictures in docs/, so the project is staged with them into the build tree first.
# On Linux (where the tests run) the tools are required; a Windows build without them skips
# the help and the setup program and says so.
if(CMAKE_HOST_WIN32)
    find_program(KORVANE_CHMCMD chmcmd)
    if(NOT KORVANE_CHMCMD)
        message(WARNING "chmcmd not found: no korvane.chm and no setup program")
        return()
    endif()
else()
    find_program(KORVANE_CHMCMD chmcmd REQUIRED)
endif()
file(GLOB KORVANE_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*.htm
     ${CMAKE_SOURCE_DIR}/help/*.css ${CMAKE_SOURCE_DIR}/help/korvane.hh?)
set(KORVANE_HELP_PICTURES ${CMAKE_SOURCE_DIR}/docs/desktop-demo.png
                          ${CMAKE_SOURCE_DIR}/docs/desktop-admin.png)
set(KORVANE_HELP_STAGE ${CMAKE_BINARY_DIR}/help)
set(KORVANE_CHM ${CMAKE_BINARY_DIR}/korvane.chm)
add_custom_command(
    OUTPUT ${KORVANE_CHM}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVANE_HELP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_HELP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVANE_HELP_SOURCES} ${KORVANE_HELP_PICTURES}
            ${KORVANE_HELP_STAGE}
    # chmcmd exits 0 even when it skips a missing file, so the result is checked by the test.
    COMMAND ${CMAKE_COMMAND} -E chdir ${KORVANE_HELP_STAGE} ${KORVANE_CHMCMD} korvane.hhp
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVANE_HELP_STAGE}/korvane.chm ${KORVANE_CHM}
    DEPENDS ${KORVANE_HELP_SOURCES} ${KORVANE_HELP_PICTURES}
    COMMENT "Compiling korvane.chm"
    VERBATIM)
add_custom_target(korvane_help ALL DEPENDS ${KORVANE_CHM})

add_test(NAME help_chm COMMAND bash ${CMAKE_SOURCE_DIR}/help/check_chm.sh ${KORVANE_CHM}
                               ${CMAKE_SOURCE_DIR}/help/korvane.hhp)
