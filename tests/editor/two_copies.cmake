# Two running copies of the program on one library, the second one a process of its own.
lexomat_add_test(test_two_copies SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_two_copies.cpp
                 ${CMAKE_SOURCE_DIR}/tests/app/AppTestSupport.cpp LIBS editor_test_support app
                 TIMEOUT 240)
