# Sequences of commands across the main window's areas.
lexomat_add_test(test_app_review_flows
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_review_flows.cpp
            ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h
    LIBS app TIMEOUT 240)
# Odd library files, failures mid-session and numbers beyond the labels.
lexomat_add_test(test_app_resilience
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_resilience.cpp
            ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.h
    LIBS app TIMEOUT 240)
