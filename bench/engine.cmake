# Card list at 1,000,000 cards: one answer cycle, and the list's memory.
add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/bench_engine.cpp)
target_link_libraries(bench_engine PRIVATE engine)
