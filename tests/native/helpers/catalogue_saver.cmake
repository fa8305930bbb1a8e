# The helper program that atomic_save_test.cpp kills while it saves.
add_executable(catalogue_saver ${CMAKE_CURRENT_SOURCE_DIR}/helpers/catalogue_saver.cpp)
target_link_libraries(catalogue_saver PRIVATE korvane_portable)
target_compile_definitions(korvane_native_tests PRIVATE
    KORVANE_CATALOGUE_SAVER="$<TARGET_FILE:catalogue_saver>")
add_dependencies(korvane_native_tests catalogue_saver)
