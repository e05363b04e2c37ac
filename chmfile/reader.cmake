# The CHM reader and unpacker behind zanvochm-hh: our own directory walk,
# libmspack for the LZX-compressed section.
add_library(zanvo_chmreader STATIC
  ${CMAKE_CURRENT_LIST_DIR}/chm_reader.cc
  ${CMAKE_CURRENT_LIST_DIR}/chm_extract.cc
  ${CMAKE_CURRENT_LIST_DIR}/chm_extract_project.cc)
target_include_directories(zanvo_chmreader PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zanvo_chmreader PUBLIC PkgConfig::MSPACK zanvo_core)

# The CLI tests run the real program; build it first.
zanvo_add_test(chmreader_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chm_reader_test.cc
  LIBS zanvo_chmreader)
# The compiler round trip uses zanvochm-hhc when the tree has it; it is
# defined later (bin/), so the link is made once every folder is read.
function(zanvo_chmreader_test_needs_tools)
  if(TARGET chmreader_test)
    add_dependencies(chmreader_test zanvochm-hh)
    if(TARGET zanvochm-hhc)
      add_dependencies(chmreader_test zanvochm-hhc)
    endif()
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
               CALL zanvo_chmreader_test_needs_tools)
