# Vocabulary files: every KVTML file of Debian's kdeedu-kvtml-data read in turn, and
# crafted files whose lessons multiply work.
add_executable(bench_kvtml_import ${CMAKE_CURRENT_LIST_DIR}/bench_kvtml_import.cpp)
target_link_libraries(bench_kvtml_import PRIVATE formats bench_support)
