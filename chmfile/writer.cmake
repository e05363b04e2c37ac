# The CHM writer: container, internal files, project and sitemap readers,
# the compile driver, and the engine library that the compiler program
# loads at run time (libzanvochm-hha.so, staged as "hha.dll").
add_library(zanvo_chmfile STATIC
  ${CMAKE_CURRENT_LIST_DIR}/code_page.cc
  ${CMAKE_CURRENT_LIST_DIR}/chm_container.cc
  ${CMAKE_CURRENT_LIST_DIR}/chm_internal_files.cc
  ${CMAKE_CURRENT_LIST_DIR}/hhp_project.cc
  ${CMAKE_CURRENT_LIST_DIR}/sitemap.cc
  ${CMAKE_CURRENT_LIST_DIR}/chm_compiler.cc)
target_include_directories(zanvo_chmfile PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zanvo_chmfile PUBLIC zanvo_lzx)

add_library(zanvochm_hha SHARED ${CMAKE_CURRENT_LIST_DIR}/hha_engine.cc)
set_target_properties(zanvochm_hha PROPERTIES
  OUTPUT_NAME zanvochm-hha
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
target_compile_definitions(zanvochm_hha PRIVATE ZANVO_VERSION="${PROJECT_VERSION}")
target_link_libraries(zanvochm_hha PRIVATE zanvo_chmfile)

if(ZANVO_BUILD_TESTS)
  zanvo_add_test(hhc_test
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/chm_container_test.cc
      ${CMAKE_CURRENT_LIST_DIR}/hhp_project_test.cc
      ${CMAKE_CURRENT_LIST_DIR}/sitemap_test.cc
      ${CMAKE_CURRENT_LIST_DIR}/hhc_roundtrip_test.cc
      ${CMAKE_CURRENT_LIST_DIR}/hhc_test_util.cc
    LIBS zanvo_chmfile PkgConfig::MSPACK)
  # The round-trip tests run the real compiler program with its engine;
  # bin/hhc.cmake makes hhc_test depend on the program.
  add_dependencies(hhc_test zanvochm_hha)
endif()
