lexomat_add_test(test_message SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_message.cpp LIBS dialogs)
