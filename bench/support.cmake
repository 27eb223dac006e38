# What the benchmarks share: the cached 1,000,000-card library, peak memory, reading a
# workbook whole.
if(NOT TARGET bench_support)
    add_library(bench_support STATIC ${CMAKE_CURRENT_LIST_DIR}/BenchLibrary.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/BenchLibrary.h
                                     ${CMAKE_CURRENT_LIST_DIR}/BenchWorkspace.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/BenchWorkspace.h
                                     ${CMAKE_CURRENT_LIST_DIR}/PeakMemory.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/PeakMemory.h
                                     ${CMAKE_CURRENT_LIST_DIR}/WorkbookCells.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/WorkbookCells.h)
    target_link_libraries(bench_support PUBLIC formats platform Qt6::Core Qt6::Gui
                          PkgConfig::SQLITE3)
    target_compile_definitions(bench_support PRIVATE
                               LEXOMAT_BENCH_DEFAULT_CACHE="${CMAKE_BINARY_DIR}")
endif()
