# Resident memory while the assistant announces the same failures cycle after cycle.
add_executable(bench_announce ${CMAKE_CURRENT_LIST_DIR}/bench_announce.cpp)
target_link_libraries(bench_announce PRIVATE orvex_common orvex_program orvex_report)
target_compile_definitions(bench_announce
                           PRIVATE ORVEX_CHARACTERS_DIR="${CMAKE_SOURCE_DIR}/data/characters")
set_target_properties(bench_announce PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
