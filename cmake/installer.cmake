# korvane-setup-<version>.exe: korvane.exe, korvane.chm and, when it is built, the catalogue
# tool, packed by makensis. Part of the default build, so the tests always find it.
if(NOT TARGET korvane_help)
    return()
endif()
if(CMAKE_HOST_WIN32)
    find_program(KORVANE_MAKENSIS makensis)
    if(NOT KORVANE_MAKENSIS)
        message(WARNING "makensis not found: no setup program")
        return()
    endif()
else()
    find_program(KORVANE_MAKENSIS makensis REQUIRED)
endif()
set(KORVANE_SETUP ${CMAKE_BINARY_DIR}/korvane-setup-${PROJECT_VERSION}.exe)

# Deferred to the end of the top directory: the catalogue tool may be defined after this file
# is included.
function(korvane_add_installer)
    set(toolDefine)
    set(toolDepends)
    if(TARGET korvane-catalogue)
        set(toolDefine -DCATALOGUE_TOOL=$<TARGET_FILE:korvane-catalogue>)
        set(toolDepends korvane-catalogue)
    endif()
    file(GLOB scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/installer/*)
    add_custom_command(
        OUTPUT ${KORVANE_SETUP}
        COMMAND ${KORVANE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${KORVANE_SETUP}
                -DEXE=$<TARGET_FILE:korvane> -DCHM=${KORVANE_CHM} ${toolDefine}
                ${CMAKE_SOURCE_DIR}/installer/korvane.nsi
        DEPENDS korvane korvane_help ${KORVANE_CHM} ${scripts} ${toolDepends}
        COMMENT "Packing korvane-setup-${PROJECT_VERSION}.exe"
        VERBATIM)
    add_custom_target(installer ALL DEPENDS ${KORVANE_SETUP})
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL korvane_add_installer)
