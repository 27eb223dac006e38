# The study loop on 1,000,000 cards: opening, answering, saving, a box counter.
add_executable(bench_study ${CMAKE_CURRENT_LIST_DIR}/bench_study.cpp)
target_link_libraries(bench_study PRIVATE app bench_support Qt6::Test PkgConfig::SQLITE3)
