# Run by cpack after it has made the zip and before it writes the checksum
# beside it: the zip is made again, reproducibly (cmake/repack_zip.py), with
# the time of the commit being packaged. SOURCE_DATE_EPOCH, when set, gives
# that time instead (a build from a tree that is not a git checkout).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${CPACK_TARNWICK_SOURCE_DIR}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_failed ERROR_QUIET)
  if(git_failed OR NOT epoch)
    message(FATAL_ERROR "repack-zip: no commit time; set SOURCE_DATE_EPOCH")
  endif()
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${CPACK_TARNWICK_PYTHON} ${CPACK_TARNWICK_SOURCE_DIR}/cmake/repack_zip.py
                          ${zip} ${CPACK_TEMPORARY_DIRECTORY} ${epoch}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "repack-zip: could not make ${zip} again")
  endif()
endforeach()
