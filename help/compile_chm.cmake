# cmake -DCHMCMD=... -DSOURCE=help/chm -DSTAGE=<folder> -DOUTPUT=<file> -P compile_chm.cmake
# Copies the help sources to STAGE, converts the table of contents to the
# help file's code page (932: the viewer reads the contents file in the code
# page of the file's language, while the pages name their own charset),
# compiles the project with chmcmd and puts the result at OUTPUT.

file(REMOVE_RECURSE ${STAGE})
file(COPY ${SOURCE}/ DESTINATION ${STAGE})
execute_process(COMMAND iconv -f UTF-8 -t CP932 ${SOURCE}/TBLIFT.hhc
                OUTPUT_FILE ${STAGE}/TBLIFT.hhc RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "iconv could not convert TBLIFT.hhc to code page 932")
endif()
execute_process(COMMAND ${CHMCMD} --no-html-scan TBLIFT.hhp
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${STAGE}/TBLIFT.CHM)
  message(FATAL_ERROR "chmcmd failed:\n${out}")
endif()
file(COPY_FILE ${STAGE}/TBLIFT.CHM ${OUTPUT})
