# The main window and the study loop, driven as a learner would.
set(APP_TEST_SUPPORT ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h)
foreach(t main_window study_session questions)
    lexomat_add_test(test_app_${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${t}.cpp ${APP_TEST_SUPPORT}
                     LIBS app TIMEOUT 240)
endforeach()
