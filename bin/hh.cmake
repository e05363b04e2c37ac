# zanvochm-hh: unpacks a CHM book into a folder ("-decompile").
add_executable(zanvochm-hh ${CMAKE_CURRENT_LIST_DIR}/hh_main.cc)
target_link_libraries(zanvochm-hh PRIVATE zanvo_chmreader)
target_compile_definitions(zanvochm-hh PRIVATE ZANVO_VERSION="${PROJECT_VERSION}")

if(ZANVO_BUILD_FUZZERS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_BINARY_DIR}/fuzz)
endif()
