# Read by cpack before it builds a package. CPack stamps the files, the control data and
# the archive members of a .deb with SOURCE_DATE_EPOCH and, without it, with the time of
# the build, so no two packages would be alike. A value given by the caller wins; else it
# is the date of the last commit, or, outside a Git checkout, the date of the newest
# changelog entry, as dpkg-buildpackage takes it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_MORVANE_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_MORVANE_CHANGELOG}" -S Timestamp
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(epoch MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    else()
        message(WARNING "No commit or changelog date found; the package carries today's date")
    endif()
endif()
