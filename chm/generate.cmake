# "生成CHM": document tree import and filter, tree editing, contents and
# project files, compile run, and the page's click handlers.
add_library(zanvo_chm STATIC
  web_import.cc
  tree_editing.cc
  contents.cc
  project.cc
  compile_run.cc
  generate_page.cc)
target_include_directories(zanvo_chm PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zanvo_chm PUBLIC zanvo_model)

zanvo_add_test(chm_test
  SOURCES
    web_import_test.cc
    tree_editing_test.cc
    contents_test.cc
    project_test.cc
    generate_page_test.cc
  LIBS zanvo_chm PkgConfig::MSPACK)

zanvo_add_benchmark(tree_editing_bench
  SOURCES tree_editing_bench.cc
  LIBS zanvo_chm)

# The whole preparation over one folder, for bench/generate_bench.sh.
if(ZANVO_BUILD_BENCHMARKS)
  add_executable(generate_timing generate_timing.cc)
  target_link_libraries(generate_timing PRIVATE zanvo_chm)
endif()

# The page's test compiles a book with the real compiler when it is built;
# the program is defined later (bin/), so the link is made once every
# folder has been read.
function(zanvo_chm_test_needs_compiler)
  if(TARGET chm_test AND TARGET zanvochm-hhc)
    add_dependencies(chm_test zanvochm-hhc)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
               CALL zanvo_chm_test_needs_compiler)
