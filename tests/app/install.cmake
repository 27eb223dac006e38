# The installed program, started as a user starts it and driven by a plugin that
# it loads into its own process.
add_library(lexomat_test_driver MODULE ${CMAKE_CURRENT_LIST_DIR}/InstalledProgramDriver.cpp)
target_link_libraries(lexomat_test_driver PRIVATE Qt6::Widgets Qt6::Test)
set_target_properties(lexomat_test_driver PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/driver_plugins/generic)

lexomat_add_test(test_installed_program
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_installed_program.cpp TIMEOUT 300)
target_compile_definitions(test_installed_program PRIVATE
    LEXOMAT_BUILD_DIR="${CMAKE_BINARY_DIR}"
    LEXOMAT_DRIVER_DIR="${CMAKE_CURRENT_BINARY_DIR}/driver_plugins"
    LEXOMAT_PROJECT_VERSION="${PROJECT_VERSION}")
# What the install rules copy must be built first.
add_dependencies(test_installed_program lexomat lexomat_packaging_files lexomat_test_driver)
