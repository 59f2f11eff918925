# Seeds a working folder's Norvane.dat from the shipped file when the folder has
# none. An existing Norvane.dat holds the compounds the user registered and is
# never replaced, however the shipped file changed: norvanta-update-data brings
# a new shipped file in and keeps those records. A Norvane.dat in any form
# counts as existing, a symbolic link included, even one whose target is
# missing: the launcher follows the same rule.
#
# Included by data/CMakeLists.txt at every configure, and run by the tests as
#   cmake -DSHIPPED=<shipped Norvane.dat> -DFOLDER=<working folder> -P SeedWorkingFolder.cmake
function(norvanta_seed_database shipped folder)
    set(target "${folder}/Norvane.dat")
    if(EXISTS "${target}" OR IS_SYMLINK "${target}")
        return()
    endif()
    # Copy beside it and rename, so that an interrupted copy leaves no half file.
    file(COPY_FILE "${shipped}" "${target}.seeding")
    # The file it came from, by which norvanta-update-data tells shipped records from registered ones.
    file(COPY_FILE "${shipped}" "${target}.shipped")
    file(RENAME "${target}.seeding" "${target}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    norvanta_seed_database("${SHIPPED}" "${FOLDER}")
endif()
