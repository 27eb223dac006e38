# The store at 1,000,000 cards: lookups, scans, filters and sorts.
add_executable(bench_store ${CMAKE_CURRENT_LIST_DIR}/bench_store.cpp)
target_link_libraries(bench_store PRIVATE store engine bench_support PkgConfig::SQLITE3)
