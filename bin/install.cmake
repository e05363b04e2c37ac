# Installation of the two command-line tools.  The compiler loads its engine
# from its own folder, so both live together in a private folder and the
# program's name on PATH is a link to it (the program finds its folder
# through the link's target).
if(TARGET zanvochm-hhc AND TARGET zanvochm_hha)
  set(ZANVO_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/zanvochm)
  install(TARGETS zanvochm-hhc RUNTIME DESTINATION ${ZANVO_PRIVATE_DIR})
  install(TARGETS zanvochm_hha LIBRARY DESTINATION ${ZANVO_PRIVATE_DIR})
  install(CODE "
    set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bindir}\")
    file(CREATE_LINK \"../${ZANVO_PRIVATE_DIR}/zanvochm-hhc\"
         \"\${bindir}/zanvochm-hhc\" SYMBOLIC)")
endif()
if(TARGET zanvochm-hh)
  install(TARGETS zanvochm-hh RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
