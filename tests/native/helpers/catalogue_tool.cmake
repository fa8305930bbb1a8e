# korvane-catalogue and its library for catalogue_tool_test.cpp, and the fuzzer's seed corpus
# (written by the fuzz tree's generator, built here too) to run through `dump`.
target_link_libraries(korvane_native_tests PRIVATE korvane_catalogue_tool)
add_executable(catalogue_fuzz_corpus ${CMAKE_SOURCE_DIR}/fuzz/make_corpus.cpp)
target_compile_definitions(korvane_native_tests PRIVATE
    KORVANE_CATALOGUE_TOOL="$<TARGET_FILE:korvane-catalogue>"
    KORVANE_FUZZ_CORPUS_MAKER="$<TARGET_FILE:catalogue_fuzz_corpus>")
add_dependencies(korvane_native_tests korvane-catalogue catalogue_fuzz_corpus)
