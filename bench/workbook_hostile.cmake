# Small hostile workbooks at their full sizes: the worst peak memory and time of a read.
add_executable(bench_workbook_hostile ${CMAKE_CURRENT_LIST_DIR}/bench_workbook_hostile.cpp)
target_link_libraries(bench_workbook_hostile PRIVATE formats)
target_compile_definitions(bench_workbook_hostile PRIVATE
    LEXOMAT_MAKE_HOSTILE="${CMAKE_SOURCE_DIR}/tests/formats/make_hostile.py"
    LEXOMAT_WRITE_WORKBOOK="${CMAKE_SOURCE_DIR}/tests/support/writers/write_workbook.pl")
