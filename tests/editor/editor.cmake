# The library editor and its record dialog, driven as a user would.
add_library(editor_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/EditorTestSupport.cpp
                                       ${CMAKE_CURRENT_LIST_DIR}/EditorTestSupport.h)
target_link_libraries(editor_test_support PUBLIC test_support editor store Qt6::Widgets Qt6::Test
                                                 PkgConfig::SQLITE3)
foreach(t record window files)
    lexomat_add_test(test_editor_${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editor_${t}.cpp
                     LIBS editor_test_support TIMEOUT 240)
endforeach()
target_link_libraries(test_editor_files PRIVATE jet4_files)
lexomat_add_test(test_editor_study SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editor_study.cpp
                 ${CMAKE_SOURCE_DIR}/tests/app/AppTestSupport.cpp LIBS editor_test_support app
                 TIMEOUT 240)
lexomat_add_test(test_desktop_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_desktop_files.cpp
                 ${CMAKE_SOURCE_DIR}/tests/app/AppTestSupport.cpp LIBS editor_test_support app
                 TIMEOUT 240)
