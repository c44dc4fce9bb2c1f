add_executable(bench_checks ${CMAKE_CURRENT_LIST_DIR}/bench_checks.cpp)
target_include_directories(bench_checks PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine)
target_link_libraries(bench_checks PRIVATE orvex_common orvex_engine)
set_target_properties(bench_checks PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
