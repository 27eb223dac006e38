# Opening an older Access library: question, conversion and report, in both styles.
lexomat_add_test(test_legacy_conversion
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_legacy_conversion.cpp LIBS dialogs jet4_files)
# A stand-in reader that misbehaves on request.
add_dependencies(test_legacy_conversion jet_reader_standin)
target_compile_definitions(test_legacy_conversion PRIVATE
    LEXOMAT_JET_STANDIN="$<TARGET_FILE:jet_reader_standin>")
