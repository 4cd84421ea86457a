# The Windows release: the manifest, the icon and the version information in
# tarnwick.exe, from the project version, and `cpack` in the build directory
# making tarnwick-VERSION-win32.zip with the exe, the sample 設定.txt (beside
# the exe, so it works as unpacked), the user's guides in English and Japanese
# and the change log as HTML pages (README.html, README.ja.html,
# CHANGELOG.html) with the pictures they show (docs/), and the license as
# LICENSE.txt, so that a double-click on Windows opens each; and the zip's
# SHA-256 beside it. Two builds of one commit give the same bytes.
# The version, for the scripts that check a build (scripts/check/resources.sh,
# scripts/check/reproducible.sh): CMake is the one that knows it.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/version.txt CONTENT "@PROJECT_VERSION@\n" @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/launcher/tarnwick.manifest.in
               ${PROJECT_BINARY_DIR}/tarnwick.manifest @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/launcher/tarnwick.rc.in
               ${PROJECT_BINARY_DIR}/tarnwick.rc @ONLY)
target_sources(tarnwick PRIVATE ${PROJECT_BINARY_DIR}/tarnwick.rc)
set_property(SOURCE ${PROJECT_BINARY_DIR}/tarnwick.rc APPEND PROPERTY
             OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/launcher/tarnwick.ico
                            ${PROJECT_BINARY_DIR}/tarnwick.manifest)
if(MSVC)
  # The manifest is ours, in the resources: the linker must not add its own.
  target_link_options(tarnwick PRIVATE /MANIFEST:NO)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/examples/設定.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/docs/menu.png ${PROJECT_SOURCE_DIR}/docs/icon.png
        DESTINATION docs)
# The pages are rendered when the package is made, not in the build.
install(CODE "set(TARNWICK_SOURCE_DIR [[${PROJECT_SOURCE_DIR}]])
              set(TARNWICK_PAGES_DIR [[${PROJECT_BINARY_DIR}/pages]])")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/render-pages.cmake)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "tarnwick developers")
set(CPACK_PACKAGE_FILE_NAME tarnwick-${PROJECT_VERSION}-win32)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# The zip is made again in a fixed form before the checksum is taken.
set(CPACK_TARNWICK_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/repack-zip.cmake)
include(CPack)
