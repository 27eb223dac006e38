# The learner's dialogs: box viewer, font alignment, last question and About.
foreach(t test_showpackage test_fontalign test_lastq_about)
    lexomat_add_test(${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp
                     ${CMAKE_CURRENT_LIST_DIR}/LearnerDialogElements.h
                     LIBS dialogs store platform widgets)
endforeach()
