# What `cmake --install` puts where, and the Debian package CPack makes of it:
#   bin/vormel, bin/vormel-check, bin/vormel-lsp    the interpreter, checker, language server
#   share/man/man1/                                 their manual pages
#   share/doc/vormel/                               README.md, docs/, bench/README.md and
#                                                   examples/ with all their files, laid out
#                                                   as in the repository so links work
#   share/vormel/editors/                           the Vim and VS Code files
# `cpack -G DEB` in the build folder makes vormel_VERSION_ARCH.deb; its dependencies are the
# runtime library packages that the binary links (found by dpkg-shlibdeps from dpkg-dev),
# and SDL2's, named by hand.
include(GNUInstallDirs)

install(TARGETS vormel vormel-check vormel-lsp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/vormel.1 docs/vormel-check.1 docs/vormel-lsp.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.md")
install(FILES bench/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/bench)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY editors/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vormel/editors
        PATTERN node_modules EXCLUDE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vormel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vormel developers")
set(CPACK_PACKAGE_CONTACT "Vormel developers <vormel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small dynamically typed scripting language")
set(CPACK_PACKAGE_DESCRIPTION
    "Vormel is a small, dynamically typed scripting language and the console\n\
program that runs it: scripts or an interactive loop, with built-in modules\n\
for a 2D window (SDL2) and for HTTP. With a checker (vormel-check), a\n\
language server (vormel-lsp) and Vim and VS Code support.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: the packages of the shared libraries the binary links (libc), with the versions
# it needs, rather than a hand-kept list; and by hand those it loads when first needed rather
# than linking them: ICU (of the version whose headers it was built with) for text beyond
# ASCII, libedit for the REPL at a terminal, SDL2 when a script opens a window, with SDL2_ttf
# and the DejaVu font when it first draws text (the game module), SDL2_image on its first
# image and SDL2_mixer on its first sound (2.6 exports Mix_LoadWAV and Mix_PlayChannel as
# functions).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libicu${ICU_VERSION_MAJOR}, libedit2, libsdl2-2.0-0 (>= 2.0.14), \
libsdl2-ttf-2.0-0 (>= 2.0.15), fonts-dejavu-core, libsdl2-image-2.0-0 (>= 2.0.5), \
libsdl2-mixer-2.0-0 (>= 2.6.0)")
include(CPack)
