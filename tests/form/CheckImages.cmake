# Draws the resource images again and compares them byte for byte with the
# committed ones: the PNGs are exactly what window/resources/make_images.py makes.
# Variables: PYTHON, SOURCE_DIR, WORK_DIR.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${PYTHON}" "${SOURCE_DIR}/window/resources/make_images.py" "${WORK_DIR}"
                RESULT_VARIABLE drawn)
if(NOT drawn EQUAL 0)
  message(FATAL_ERROR "make_images.py failed: ${drawn}")
endif()
foreach(image radio_off.png radio_on.png button_on.png button_off.png)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                  "${WORK_DIR}/${image}" "${SOURCE_DIR}/window/resources/image/${image}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "${image} differs from what make_images.py draws")
  endif()
endforeach()
