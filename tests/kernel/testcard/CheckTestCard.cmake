# Makes the test card again and compares it byte for byte with the committed
# frames: the JPEGs are exactly what make_test_card.py writes.
# Variables: PYTHON, CARD_DIR, WORK_DIR.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${PYTHON}" "${CARD_DIR}/make_test_card.py" "${WORK_DIR}" RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "make_test_card.py failed: ${made}")
endif()
file(GLOB committed RELATIVE "${CARD_DIR}" "${CARD_DIR}/test-card-*.jpg")
file(GLOB written RELATIVE "${WORK_DIR}" "${WORK_DIR}/test-card-*.jpg")
list(SORT committed)
list(SORT written)
if(NOT committed STREQUAL written)
  message(FATAL_ERROR "make_test_card.py writes ${written}, the repository holds ${committed}")
endif()
foreach(frame IN LISTS committed)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${frame}" "${CARD_DIR}/${frame}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "${frame} differs from what make_test_card.py writes")
  endif()
endforeach()
