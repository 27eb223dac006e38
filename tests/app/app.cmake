# The main window and the study loop, driven as a learner would.
set(APP_TEST_SUPPORT ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h)
foreach(t main_window study_session questions)
    lexomat_add_test(test_app_${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${t}.cpp ${APP_TEST_SUPPORT}
                     LIBS app TIMEOUT 240)
endforeach()

# The windows at twice the scale on a small screen.
lexomat_add_test(test_app_small_screen SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_small_screen.cpp
                 ${APP_TEST_SUPPORT} LIBS app TIMEOUT 240)
set_tests_properties(test_app_small_screen PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/screens/small_screen.json;QT_SCALE_FACTOR=2;QTEST_FUNCTION_TIMEOUT=60000;QT_LOGGING_RULES=qt.qpa.*=false")
