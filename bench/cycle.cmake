# A whole check cycle through the main window and its engine, against the mandated pauses.
add_executable(bench_cycle ${CMAKE_CURRENT_LIST_DIR}/bench_cycle.cpp)
target_include_directories(bench_cycle PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine)
target_link_libraries(bench_cycle PRIVATE orvex_common orvex_ui_main)
set_target_properties(bench_cycle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
