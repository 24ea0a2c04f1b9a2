# Run at install time (install(CODE) with the variables below set): the
# media generator writes a whole set into a stage folder of the build, and
# one part of it is copied into the install.
#   MEDIA_STAGE      the stage folder's stem: each run takes a folder of its
#                    own beside it, so installs running at once keep apart
#   MEDIA_KMEDIAGEN  the media generator
#   MEDIA_TERRAIN    the terrain's height-file maker, or empty
#   MEDIA_PART       what of the stage is installed ("media/" for its contents, "kMedia" for the folder)
#   MEDIA_DEST       where it goes, relative to the install prefix
string(RANDOM LENGTH 12 MEDIA_RUN)
set(MEDIA_STAGE "${MEDIA_STAGE}-${MEDIA_RUN}")
file(REMOVE_RECURSE "${MEDIA_STAGE}")
execute_process(COMMAND "${MEDIA_KMEDIAGEN}" "${MEDIA_STAGE}" RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "kmediagen failed: ${rc}")
endif()
# The terrain's height file needs a device; an install without one still
# works, without the terrain's heights.
if(MEDIA_TERRAIN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen "${MEDIA_TERRAIN}" "${MEDIA_STAGE}"
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
        message(WARNING "vterrainmedia failed (${rc}): the terrain's height file is missing")
    endif()
endif()
file(COPY "${MEDIA_STAGE}/${MEDIA_PART}" DESTINATION "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${MEDIA_DEST}")
file(REMOVE_RECURSE "${MEDIA_STAGE}")
