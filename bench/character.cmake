# The assistant on screen: processor use while it idles and while it is hidden, and pictures
# of each character for a look at the artwork.
add_executable(bench_character ${CMAKE_CURRENT_SOURCE_DIR}/bench_character.cpp)
target_link_libraries(bench_character PRIVATE orvex_common orvex_character Qt6::Widgets)
set_target_properties(bench_character PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
