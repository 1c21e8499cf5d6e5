# Install-time part of packaging/CMakeLists.txt: makes the files that are built from sources
# and installs them. The FL_* variables are set just before this script runs.

function(fl_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "${command} failed (${result}): ${error}")
    endif()
endfunction()

# A folder of this run's own, so that two runs (a package test beside scripts/package) never
# share one.
string(RANDOM LENGTH 12 run)
set(FL_GENERATED "${FL_BINARY}/generated-${run}")
file(MAKE_DIRECTORY "${FL_GENERATED}")

# The sample database that starts every user's data folder.
fl_run("${FL_MAKEDB}" --data "${FL_DATA}" --out "${FL_GENERATED}/bird.mdb")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${FL_SHARE}" TYPE FILE FILES "${FL_GENERATED}/bird.mdb")

# The icon in the sizes menus and docks ask for.
if(NOT FL_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert (Debian package librsvg2-bin) is needed to make the icons; scripts/deps installs it")
endif()
foreach(size 16 22 24 32 48 64 128 256 512)
    set(folder "${FL_GENERATED}/icons/${size}x${size}")
    file(MAKE_DIRECTORY "${folder}")
    fl_run("${FL_RSVG_CONVERT}" -w ${size} -h ${size} -o "${folder}/featherlog.png" "${FL_SOURCE}/featherlog.svg")
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${FL_DATADIR}/icons/hicolor/${size}x${size}/apps"
         TYPE FILE FILES "${folder}/featherlog.png")
endforeach()

# The manual page and the changelog, compressed as Debian wants them (best compression, no
# time stamp, so that the same sources give the same files).
foreach(name featherlog.1 changelog)
    configure_file("${FL_BINARY}/${name}" "${FL_GENERATED}/${name}" COPYONLY)
    fl_run("${FL_GZIP}" -9 -n -f "${FL_GENERATED}/${name}")
endforeach()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${FL_MANDIR}/man1" TYPE FILE FILES "${FL_GENERATED}/featherlog.1.gz")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${FL_DOC}" TYPE FILE FILES "${FL_GENERATED}/changelog.gz")

file(REMOVE_RECURSE "${FL_GENERATED}")

# A stripped install (the package) also loses the compiler's identification comment, as
# dh_strip would remove it.
if(CMAKE_INSTALL_DO_STRIP AND FL_STRIP)
    fl_run("${FL_STRIP}" --remove-section=.comment --remove-section=.note
           "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${FL_BINDIR}/featherlog")
endif()
