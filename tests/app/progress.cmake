# The progress kept in the library file and the window that draws it.
lexomat_add_test(test_app_progress SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_progress.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h LIBS app TIMEOUT 240)
