if(ZANVO_BUILD_GUI)
  add_executable(zanvochm ${CMAKE_CURRENT_SOURCE_DIR}/window_main.cc)
  target_link_libraries(zanvochm PRIVATE zanvo_gui)
  # The compiler program and its engine become the window's two data
  # resources, which start-up stages into the system folder.
  if(TARGET zanvochm-hhc AND TARGET zanvochm_hha)
    zanvo_embed(zanvochm zanvo_resource_hhc "$<TARGET_FILE:zanvochm-hhc>"
                DEPENDS zanvochm-hhc)
    zanvo_embed(zanvochm zanvo_resource_hha "$<TARGET_FILE:zanvochm_hha>"
                DEPENDS zanvochm_hha)
  endif()
  install(TARGETS zanvochm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
