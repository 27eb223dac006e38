# The progress window over 10,000 saved sessions, written by the tests' own generator.
add_executable(bench_progress ${CMAKE_CURRENT_LIST_DIR}/bench_progress.cpp
               ${CMAKE_SOURCE_DIR}/tests/support/ProgressSessions.cpp
               ${CMAKE_SOURCE_DIR}/tests/support/TestLibrary.cpp)
target_link_libraries(bench_progress PRIVATE app bench_support PkgConfig::SQLITE3)
