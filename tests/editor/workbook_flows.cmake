# The workbook import and export as the editor runs them, dialogs answered.
set(WORKBOOK_FLOW_SUPPORT ${CMAKE_CURRENT_LIST_DIR}/WorkbookFlowFixture.h
    ${CMAKE_SOURCE_DIR}/tests/support/IndependentReaders.cpp)
foreach(t WorkbookExport WorkbookImport Tfrm_sheet)
    string(TOLOWER ${t} lower)
    lexomat_add_test(test_editor_${lower} TIMEOUT 300
                     SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${t}.cpp ${WORKBOOK_FLOW_SUPPORT}
                     LIBS editor)
    target_compile_definitions(test_editor_${lower} PRIVATE
        LEXOMAT_TEST_READERS_DIR="${CMAKE_SOURCE_DIR}/tests/support/readers"
        LEXOMAT_RESHAPE_WORKBOOK="${CMAKE_SOURCE_DIR}/tests/formats/reshape_workbook.py"
        LEXOMAT_MAKE_HOSTILE="${CMAKE_SOURCE_DIR}/tests/formats/make_hostile.py")
endforeach()

# The import and export from the editor window's own menu.
lexomat_add_test(test_editor_workbooks TIMEOUT 240
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editor_workbooks.cpp
                         ${CMAKE_SOURCE_DIR}/tests/support/IndependentReaders.cpp
                 LIBS editor_test_support)
target_compile_definitions(test_editor_workbooks PRIVATE
    LEXOMAT_TEST_READERS_DIR="${CMAKE_SOURCE_DIR}/tests/support/readers")
