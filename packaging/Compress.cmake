# cmake -DIN=file -DOUT=file.gz -P Compress.cmake: gzip -9n, so that the
# result holds neither the file's name nor a time and is the same each build.
execute_process(COMMAND gzip -9n -c "${IN}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${IN}: ${result}")
endif()
