# A whole cycle at the paced and the fast pace beside fping and check_tcp.
add_executable(bench_fastchecks ${CMAKE_CURRENT_LIST_DIR}/bench_fastchecks.cpp)
target_include_directories(bench_fastchecks PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine)
target_link_libraries(bench_fastchecks PRIVATE orvex_common orvex_program orvex_ui_main
                                               orvex_testsupport orvex_seeded_database)
set_target_properties(bench_fastchecks PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                  ${CMAKE_BINARY_DIR}/bench)
