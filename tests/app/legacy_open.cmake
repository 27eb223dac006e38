# Opening an older Access library from the main window, and the convert command.
lexomat_add_test(test_app_legacy_open SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_legacy_open.cpp
                 ${APP_TEST_SUPPORT} LIBS app jet4_files TIMEOUT 240)
lexomat_add_test(test_app_convert_command SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_convert_command.cpp
                 LIBS jet4_files)
add_dependencies(test_app_convert_command lexomat)
target_compile_definitions(test_app_convert_command PRIVATE LEXOMAT_EXE="$<TARGET_FILE:lexomat>")
