# Workbook reading: a 100,000-row .xlsx with shared strings, time and peak memory.
pkg_check_modules(BENCH_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
add_executable(bench_workbook_read ${CMAKE_CURRENT_LIST_DIR}/bench_workbook_read.cpp)
target_link_libraries(bench_workbook_read PRIVATE formats bench_support PkgConfig::BENCH_XLSXWRITER)
