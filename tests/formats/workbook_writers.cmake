# The workbook writers, checked by readers that are not ours.
lexomat_add_test(test_workbook_writers TIMEOUT 300
                 SOURCES tst_WorkbookWriters.cpp ../support/IndependentReaders.cpp
                 LIBS formats)
target_compile_definitions(test_workbook_writers PRIVATE
    LEXOMAT_TEST_READERS_DIR="${CMAKE_SOURCE_DIR}/tests/support/readers")
