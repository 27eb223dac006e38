# The command line, run as a shell runs it.
lexomat_add_test(test_app_workbook_commands TIMEOUT 240
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_WorkbookCommands.cpp
                         ${CMAKE_SOURCE_DIR}/tests/support/IndependentReaders.cpp
                 LIBS Qt6::Core)
add_dependencies(test_app_workbook_commands lexomat)
target_compile_definitions(test_app_workbook_commands PRIVATE
    LEXOMAT_EXECUTABLE="$<TARGET_FILE:lexomat>"
    LEXOMAT_TEST_READERS_DIR="${CMAKE_SOURCE_DIR}/tests/support/readers")
