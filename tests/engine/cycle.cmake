orvex_add_test(tst_engine_cycle SOURCES tst_engine_cycle.cpp CycleTestSupport.h EngineTestSupport.h
               LIBS orvex_engine orvex_report_core orvex_seeded_database)
