# System DLLs korvane.exe loads when it first calls into them instead of before WinMain. The
# watcher process never calls them while the desktop it watches is well, so it starts without
# them; comctl32 (and comdlg32, which pulls it in) would otherwise bring up the whole display
# driver in a process that shows nothing, and user32 and gdi32 alone take 5 MB of memory under
# Wine. bcrypt is needed only when a password is checked or stored, or a shared catalogue hashed.
# dbghelp is no import at all: the crash reporter loads it itself once the desktop is on screen
# (or at a crash before that), since a library loaded after a crash may no longer load.
set(KORVANE_DELAYLOAD comctl32 comdlg32 gdiplus ole32 shell32 msimg32 bcrypt user32 gdi32)

function(korvane_delay_load target)
    if(MSVC)
        foreach(dll ${KORVANE_DELAYLOAD})
            target_link_options(${target} PRIVATE /DELAYLOAD:${dll}.dll)
        endforeach()
        target_link_libraries(${target} PRIVATE delayimp)
        return()
    endif()
    # mingw-w64: a delay-import library per DLL, made by dlltool from the names the ordinary
    # import library exports. They are linked ahead of the ordinary ones, which then supply
    # nothing.
    set(libraries)
    foreach(dll ${KORVANE_DELAYLOAD})
        find_file(import_library_${dll} lib${dll}.a PATHS ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES}
                  NO_DEFAULT_PATH)
        set(import_library ${import_library_${dll}})
        if(NOT import_library)
            message(FATAL_ERROR "no import library for ${dll}")
        endif()
        execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols
                        COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?]+" imports "${symbols}")
        set(definition "LIBRARY ${dll}.dll\nEXPORTS\n")
        foreach(import ${imports})
            string(REPLACE " I __imp_" "" name "${import}")
            string(APPEND definition "${name}\n")
        endforeach()
        set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
        set(library ${CMAKE_BINARY_DIR}/delayload/lib${dll}-delay.a)
        file(WRITE ${def} "${definition}")
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${library}
                    --dllname ${dll}.dll
            DEPENDS ${def} VERBATIM)
        list(APPEND libraries ${library})
    endforeach()
    add_custom_target(${target}_delayload DEPENDS ${libraries})
    add_dependencies(${target} ${target}_delayload)
    # After the program's own libraries and before the system's import libraries.
    target_link_libraries(${target} PRIVATE ${libraries} delayimp)
endfunction()
