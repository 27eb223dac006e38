# The study loop on 1,000,000 cards: opening, answering, saving, a box counter.
add_executable(bench_study ${CMAKE_CURRENT_LIST_DIR}/bench_study.cpp)
target_link_libraries(bench_study PRIVATE app bench_support Qt6::Test PkgConfig::SQLITE3)

# From process start to the main window on screen, with the bundled beside-files.
add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE app Qt6::Test)
target_compile_definitions(bench_startup PRIVATE LEXOMAT_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
