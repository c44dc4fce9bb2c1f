# The ping control and the socket control array.
set(orvex_checks_test_support ${CMAKE_SOURCE_DIR}/tests/engine)
orvex_add_test(tst_ping SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ping.cpp LIBS orvex_platform)
target_include_directories(tst_ping PRIVATE ${orvex_checks_test_support})
orvex_add_test(tst_socket SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_socket.cpp
               LIBS orvex_platform Qt6::Network)
target_include_directories(tst_socket PRIVATE ${orvex_checks_test_support})
