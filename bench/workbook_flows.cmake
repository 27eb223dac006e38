# Workbook import and export through the editor's classes, dialogs answered.
pkg_check_modules(BENCH_FLOWS_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
add_executable(bench_workbook_flows ${CMAKE_CURRENT_LIST_DIR}/bench_workbook_flows.cpp)
target_link_libraries(bench_workbook_flows PRIVATE editor bench_support
                      PkgConfig::BENCH_FLOWS_XLSXWRITER PkgConfig::SQLITE3)
