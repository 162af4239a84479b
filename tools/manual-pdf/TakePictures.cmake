# cmake -DPROGRAM=manual-screens -DFOLDER=dir -DSTAMP=file -P TakePictures.cmake
# Takes the manual's pictures; a demo that fails costs the pictures, not the build.
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${PROGRAM} ${FOLDER} RESULT_VARIABLE result TIMEOUT 180)
if(NOT result EQUAL 0)
  message(WARNING "The manual's pictures were not taken (${result}); the manuals are written without them.")
endif()
file(TOUCH ${STAMP})
