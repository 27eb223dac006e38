# The box viewer over a box of 500,000 cards: opening from the counter, and sorting.
add_executable(bench_viewer ${CMAKE_CURRENT_LIST_DIR}/bench_viewer.cpp)
target_link_libraries(bench_viewer PRIVATE app dialogs store bench_support Qt6::Test
                                           PkgConfig::SQLITE3)
