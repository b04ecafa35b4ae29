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
add_custom_target(distribution ALL DEPENDS ${QUILLORA_DIST_DIR}/exam.db ${QUILLORA_DIST_DIR}/css/Main.css)

set(QUILLORA_APP_ID org.quillora.Quillora)
set(QUILLORA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/data/desktop)

install(TARGETS quillora RUNTIME DESTINATION bin)
install(FILES ${QUILLORA_DIST_DIR}/exam.db DESTINATION share/quillora)
install(FILES ${QUILLORA_DIST_DIR}/css/Main.css DESTINATION share/quillora/css)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/install/css ${CMAKE_SOURCE_DIR}/data/install/images
        DESTINATION share/quillora)
install(FILES ${QUILLORA_DESKTOP_DIR}/${QUILLORA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${QUILLORA_DESKTOP_DIR}/${QUILLORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${QUILLORA_DESKTOP_DIR}/icons/${QUILLORA_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${QUILLORA_DESKTOP_DIR}/icons/${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${QUILLORA_APP_ID}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "The Quillora developers")
set(CPACK_PACKAGE_CONTACT "The Quillora developers <developers@quillora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Practise the written civil-service entrance examination")
set(CPACK_PACKAGE_DESCRIPTION "A question bank with mock examinations, grading and a test history; Chinese interface.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillora.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every page is Chinese text; the libraries alone would not bring a font that has it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
