# The learner's dialogs opened from the main window.
lexomat_add_test(test_learner_dialogs
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_learner_dialogs.cpp
            ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h
    LIBS app)
