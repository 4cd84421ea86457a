# Run as a step of the install that cpack makes the zip from: renders the two
# user's guides and the change log into HTML pages a double-click opens
# (README.html, README.ja.html, CHANGELOG.html), with Debian's pandoc, the
# filter cmake/page.lua (what of each document goes in) and the template
# cmake/page.html (the page around it). The pages are made in
# TARNWICK_PAGES_DIR and installed from there; the install step sets it and
# TARNWICK_SOURCE_DIR before this.
find_program(pandoc pandoc)
if(NOT pandoc)
  message(FATAL_ERROR "render-pages: pandoc not found (Debian package pandoc); "
                      "without it the zip has no guides")
endif()
set(cmake ${TARNWICK_SOURCE_DIR}/cmake)
file(MAKE_DIRECTORY ${TARNWICK_PAGES_DIR})
foreach(page README:en README.ja:ja CHANGELOG:en)
  string(REGEX MATCH "^[^:]+" name ${page})
  string(REGEX MATCH "[^:]+$" lang ${page})
  execute_process(COMMAND ${pandoc} --from gfm --to html5 --standalone
                          --template ${cmake}/page.html --lua-filter ${cmake}/page.lua
                          --variable lang=${lang} --output ${TARNWICK_PAGES_DIR}/${name}.html
                          ${TARNWICK_SOURCE_DIR}/${name}.md COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL ${TARNWICK_PAGES_DIR}/${name}.html DESTINATION ${CMAKE_INSTALL_PREFIX})
endforeach()
