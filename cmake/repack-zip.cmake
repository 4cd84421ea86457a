# Run by cpack after it has made the zip and before it writes the checksum
# beside it: Debian's strip-nondeterminism writes the zip again in a fixed
# form (members sorted by name, every time stamp the commit's, in UTC,
# permissions 644 or 755, no user or group ids), so that two builds of one
# commit give the same bytes. SOURCE_DATE_EPOCH, when set, gives the time
# instead of the commit (a build from a tree that is not a git checkout).
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
find_program(strip_nondeterminism strip-nondeterminism)
if(NOT strip_nondeterminism)
  message(FATAL_ERROR "repack-zip: strip-nondeterminism not found (Debian package "
                      "strip-nondeterminism); without it the zip is not reproducible")
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${strip_nondeterminism} --type zip --timestamp ${epoch} ${zip}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "repack-zip: strip-nondeterminism could not normalise ${zip}")
  endif()
endforeach()
