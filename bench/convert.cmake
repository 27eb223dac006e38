# Converting an older Access (Jet 4) library of 5,000 cards into a library file.
add_executable(bench_convert ${CMAKE_CURRENT_LIST_DIR}/bench_convert.cpp)
target_link_libraries(bench_convert PRIVATE store)
target_compile_definitions(bench_convert PRIVATE
                           LEXOMAT_JET4_DIR="${CMAKE_SOURCE_DIR}/tests/data/jet4")
