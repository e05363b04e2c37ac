# "反编译CHM": the decompile run and its click handler.
add_library(zanvo_chm_decompile STATIC decompile_run.cc)
target_include_directories(zanvo_chm_decompile PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zanvo_chm_decompile PUBLIC zanvo_model zanvo_core)

zanvo_add_test(chm_decompile_test
  SOURCES decompile_run_test.cc
  LIBS zanvo_chm_decompile)
# The test runs the real decompiler, defined later in bin/.
function(zanvo_chm_decompile_test_needs_tool)
  if(TARGET chm_decompile_test AND TARGET zanvochm-hh)
    add_dependencies(chm_decompile_test zanvochm-hh)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
               CALL zanvo_chm_decompile_test_needs_tool)
