# Vocabulary files of other trainers through the command line, with Python's XML
# parser as the independent reader.
lexomat_add_test(test_app_vocabulary_commands TIMEOUT 600
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_VocabularyCommands.cpp
                 LIBS Qt6::Core Qt6::Sql)
add_dependencies(test_app_vocabulary_commands lexomat)
target_compile_definitions(test_app_vocabulary_commands PRIVATE
    LEXOMAT_EXECUTABLE="$<TARGET_FILE:lexomat>"
    LEXOMAT_TEST_READERS_DIR="${CMAKE_SOURCE_DIR}/tests/support/readers")
