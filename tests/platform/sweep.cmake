# Echo requests to many hosts through one socket, and ICMPv6.
orvex_add_test(tst_sweep SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sweep.cpp LIBS orvex_platform)
target_include_directories(tst_sweep PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine)
