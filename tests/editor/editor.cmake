# The library editor and its record dialog, driven as a user would.
add_library(editor_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/EditorTestSupport.cpp
                                       ${CMAKE_CURRENT_LIST_DIR}/EditorTestSupport.h)
target_link_libraries(editor_test_support PUBLIC test_support editor store Qt6::Widgets Qt6::Test
                                                 PkgConfig::SQLITE3)
foreach(t record window files)
    lexomat_add_test(test_editor_${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editor_${t}.cpp
                     LIBS editor_test_support TIMEOUT 240)
endforeach()
target_link_libraries(test_editor_files PRIVATE jet4_files dl)
target_sources(test_editor_files PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/FileCallLog.cpp)
lexomat_add_test(test_editor_study SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editor_study.cpp
                 ${CMAKE_SOURCE_DIR}/tests/app/AppTestSupport.cpp LIBS editor_test_support app
                 TIMEOUT 240)
lexomat_add_test(test_desktop_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_desktop_files.cpp
                 ${CMAKE_SOURCE_DIR}/tests/app/AppTestSupport.cpp LIBS editor_test_support app
                 TIMEOUT 240)

# A second running copy for the file tests: it holds an untitled library or a library it
# studies until it is killed.
add_executable(lexomat_second_copy ${CMAKE_CURRENT_LIST_DIR}/SecondCopy.cpp)
target_link_libraries(lexomat_second_copy PRIVATE editor store engine Qt6::Core)
add_dependencies(editor_test_support lexomat_second_copy)
target_compile_definitions(editor_test_support PUBLIC
    LEXOMAT_SECOND_COPY="$<TARGET_FILE:lexomat_second_copy>")

# The file commands at random, in the editor and on the command line, with a second copy.
lexomat_add_test(test_file_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_file_commands.cpp
                 LIBS editor_test_support jet4_files TIMEOUT 240)
add_dependencies(test_file_commands lexomat)
target_compile_definitions(test_file_commands PRIVATE LEXOMAT_EXECUTABLE="$<TARGET_FILE:lexomat>")
