# Installs like a distribution package: the executable and its data file side
# by side in lib/veldrix (the program looks for veldrix.dat beside its own
# resolved path), a relative symlink in bin, the manual page, the README and
# the licence.
include(GNUInstallDirs)

set(VELDRIX_PKGLIBDIR ${CMAKE_INSTALL_LIBDIR}/veldrix)
install(TARGETS veldrix RUNTIME DESTINATION ${VELDRIX_PKGLIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/veldrix.dat DESTINATION ${VELDRIX_PKGLIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/doc/veldrix.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The data file holds archspec's targets: its licence goes with it.
install(FILES ${CMAKE_SOURCE_DIR}/data/archspec/LICENSE-MIT ${CMAKE_SOURCE_DIR}/data/archspec/COPYRIGHT
              ${CMAKE_SOURCE_DIR}/data/archspec/NOTICE
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/archspec)

if(NOT WIN32)
  # bin/veldrix -> ../lib/veldrix/veldrix, relative so that a staged
  # (DESTDIR) or moved tree keeps working.
  install(CODE "
    set(link_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(RELATIVE_PATH link_target \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
         \"\${CMAKE_INSTALL_PREFIX}/${VELDRIX_PKGLIBDIR}/veldrix\")
    file(MAKE_DIRECTORY \"\${link_dir}\")
    file(REMOVE \"\${link_dir}/veldrix\")
    file(CREATE_LINK \"\${link_target}\" \"\${link_dir}/veldrix\" SYMBOLIC)
    message(STATUS \"Installing: \${link_dir}/veldrix -> \${link_target}\")
  ")
endif()
