# `cmake --install build --prefix P`: the program in P/bin, what it ships in
# P/share/quillora (the path the program looks for beside ../share), and the
# desktop's launcher, icons and metainfo. `cpack` turns the same into a .deb.

# The shipped bank is built apart from build/bin, whose bank keeps the
# developer's own history.
set(QUILLORA_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
add_custom_command(OUTPUT ${QUILLORA_DIST_DIR}/exam.db
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLORA_DIST_DIR}/css
  COMMAND examdb build --portal ${QUILLORA_PORTAL_BASE} --out ${QUILLORA_DIST_DIR}/exam.db ${CMAKE_SOURCE_DIR}/data/bank
  DEPENDS examdb ${QUILLORA_BANK_SQL}
  VERBATIM)
add_custom_command(OUTPUT ${QUILLORA_DIST_DIR}/css/Main.css
  COMMAND maincss ${QUILLORA_DIST_DIR}/exam.db ${QUILLORA_DIST_DIR}
  DEPENDS maincss ${QUILLORA_DIST_DIR}/exam.db
  VERBATIM)
# The papers of the shipped bank as an import file, for users who already have
# a bank of their own ("导入示例题库"): the template workbook with its pictures
# and the types' instructions beside it, in dist/ and beside the built program.
set(QUILLORA_SAMPLE_DIR ${QUILLORA_DIST_DIR}/示例题库)
add_custom_command(OUTPUT ${QUILLORA_SAMPLE_DIR}/示例题库.xlsx
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUILLORA_SAMPLE_DIR} ${QUILLORA_DIST_DIR}/sample.db
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLORA_SAMPLE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${QUILLORA_DIST_DIR}/exam.db ${QUILLORA_DIST_DIR}/sample.db
  COMMAND examdb export --from ${QUILLORA_DIST_DIR}/sample.db --category 1 --category 2 --category 3 --category 4
          --format xlsx --with-types ${QUILLORA_SAMPLE_DIR}/示例题库.xlsx
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QUILLORA_DIST_DIR}/sample.db
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUILLORA_BIN_DIR}/示例题库
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUILLORA_SAMPLE_DIR} ${QUILLORA_BIN_DIR}/示例题库
  DEPENDS examdb ${QUILLORA_DIST_DIR}/exam.db
  VERBATIM)
add_custom_target(distribution ALL DEPENDS ${QUILLORA_DIST_DIR}/exam.db ${QUILLORA_DIST_DIR}/css/Main.css
                  ${QUILLORA_SAMPLE_DIR}/示例题库.xlsx)

set(QUILLORA_APP_ID org.quillora.Quillora)
set(QUILLORA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/data/desktop)

install(TARGETS quillora RUNTIME DESTINATION bin)
install(FILES ${QUILLORA_DIST_DIR}/exam.db DESTINATION share/quillora)
install(FILES ${QUILLORA_DIST_DIR}/css/Main.css DESTINATION share/quillora/css)
install(DIRECTORY ${QUILLORA_SAMPLE_DIR} DESTINATION share/quillora)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/install/css ${CMAKE_SOURCE_DIR}/data/install/images
        DESTINATION share/quillora)
install(FILES ${QUILLORA_DESKTOP_DIR}/${QUILLORA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${QUILLORA_DESKTOP_DIR}/${QUILLORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${QUILLORA_DESKTOP_DIR}/icons/${QUILLORA_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${QUILLORA_DESKTOP_DIR}/icons/${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${QUILLORA_APP_ID}.png)
endforeach()

# What Debian asks of every package: the copyright, a changelog and a manual
# page, the last two compressed without a name or time stamp so that the
# package's bytes depend on the sources alone. The version is 1.0.0 without a
# Debian revision, a native package, so the changelog is changelog.gz.
find_program(QUILLORA_GZIP gzip REQUIRED)
set(QUILLORA_PKG_DIR ${CMAKE_BINARY_DIR}/pkg)
set(QUILLORA_PKG_SRC ${CMAKE_SOURCE_DIR}/data/debian/changelog ${CMAKE_SOURCE_DIR}/data/man/quillora.1)
add_custom_command(OUTPUT ${QUILLORA_PKG_DIR}/changelog.gz ${QUILLORA_PKG_DIR}/quillora.1.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${QUILLORA_PKG_SRC} ${QUILLORA_PKG_DIR}
  COMMAND ${QUILLORA_GZIP} -9nf ${QUILLORA_PKG_DIR}/changelog ${QUILLORA_PKG_DIR}/quillora.1
  DEPENDS ${QUILLORA_PKG_SRC}
  VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${QUILLORA_PKG_DIR}/changelog.gz ${QUILLORA_PKG_DIR}/quillora.1.gz)
# The changelog's latest entry names the version being packaged.
file(STRINGS ${CMAKE_SOURCE_DIR}/data/debian/changelog QUILLORA_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT QUILLORA_CHANGELOG_TOP MATCHES "^quillora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright ${QUILLORA_PKG_DIR}/changelog.gz
        DESTINATION share/doc/quillora)
install(FILES ${QUILLORA_PKG_DIR}/quillora.1.gz DESTINATION share/man/man1)
# The import template users fill in.
install(FILES ${CMAKE_SOURCE_DIR}/data/import/题库模板.xlsx ${CMAKE_SOURCE_DIR}/data/import/题库模板.csv
        DESTINATION share/doc/quillora/import)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "The Quillora developers")
set(CPACK_PACKAGE_CONTACT "The Quillora developers <developers@quillora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Practise the written civil-service entrance examination")
# Debian shows the extended description in 80 columns: its lines are kept shorter.
set(CPACK_PACKAGE_DESCRIPTION "A question bank for the written civil-service entrance examination,
with mock examinations, grading and a test history; Chinese interface.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillora.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every page is Chinese text; the libraries alone would not bring a font that
# has it, nor the Chinese of Qt's own dialogs (data, which shlibdeps cannot see).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
# .doc, .wps and .odt files are imported through LibreOffice when it is there.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer-nogui | libreoffice-writer")
include(CPack)
