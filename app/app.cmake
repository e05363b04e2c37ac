# Included from the top level after the page libraries, which it wires up.
if(WIN32)
  set(ZANVO_APP_PLATFORM ${PROJECT_SOURCE_DIR}/app/executable_win32.cc)
else()
  set(ZANVO_APP_PLATFORM ${PROJECT_SOURCE_DIR}/app/executable_posix.cc)
endif()
add_library(zanvo_app STATIC
  ${PROJECT_SOURCE_DIR}/app/startup.cc
  ${PROJECT_SOURCE_DIR}/app/event_table.cc
  ${ZANVO_APP_PLATFORM})
target_include_directories(zanvo_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zanvo_app PUBLIC zanvo_model zanvo_core)
target_link_libraries(zanvo_app PUBLIC
  zanvo_chm zanvo_chm_decompile zanvo_txt2htm zanvo_tools)

zanvo_add_test(app_test
  SOURCES ${PROJECT_SOURCE_DIR}/app/startup_test.cc ${PROJECT_SOURCE_DIR}/app/event_table_test.cc
  LIBS zanvo_app)
