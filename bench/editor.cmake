# The library editor on 1,000,000 cards: open, search, sort, add, delete, page, save.
add_executable(bench_editor ${CMAKE_CURRENT_LIST_DIR}/bench_editor.cpp)
target_link_libraries(bench_editor PRIVATE app editor bench_support Qt6::Test PkgConfig::SQLITE3)
