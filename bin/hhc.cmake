# zanvochm-hhc: the command-line CHM compiler.  It holds no CHM code: it
# loads the engine (libzanvochm-hha.so, or "hha.dll" when staged) from its
# own folder at run time, so it links only the C and C++ runtimes.
add_executable(zanvochm-hhc ${CMAKE_CURRENT_LIST_DIR}/hhc_main.cc)
target_include_directories(zanvochm-hhc PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(zanvochm-hhc PRIVATE ZANVO_VERSION="${PROJECT_VERSION}")
target_link_libraries(zanvochm-hhc PRIVATE ${CMAKE_DL_LIBS})
# Built together, so that running the program from the build tree works.
add_dependencies(zanvochm-hhc zanvochm_hha)
if(ZANVO_BUILD_TESTS AND TARGET hhc_test)
  add_dependencies(hhc_test zanvochm-hhc)
endif()
