# Opening an older Access library: question, conversion and report, in both styles.
lexomat_add_test(test_legacy_conversion
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_legacy_conversion.cpp LIBS dialogs jet4_files)
