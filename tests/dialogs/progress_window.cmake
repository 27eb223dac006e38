# The progress window, drawn from rows the test gives it.
lexomat_add_test(test_progress_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_progress_window.cpp
                 LIBS dialogs)
