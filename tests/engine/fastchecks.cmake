# The fast pace of the check passes against the paced one.
orvex_add_test(tst_engine_fast SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_engine_fast.cpp
               EngineTestSupport.h LoopbackPeers.h PrivateNetwork.h
               LIBS orvex_platform orvex_engine orvex_seeded_database Qt6::Network)
