# vidorra_install_compressed(FILE DESTINATION [RENAME NAME]): installs FILE as
# NAME.gz (NAME defaults to FILE's name), compressed as Debian packages carry
# manual pages and changelogs; where gzip is missing, as it is.
find_program(VIDORRA_GZIP gzip)

function(vidorra_install_compressed file destination)
  cmake_parse_arguments(A "" "RENAME" "" ${ARGN})
  get_filename_component(name ${file} NAME)
  if(A_RENAME)
    set(name ${A_RENAME})
  endif()
  if(NOT VIDORRA_GZIP)
    install(FILES ${file} DESTINATION ${destination} RENAME ${name})
    return()
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -P ${PROJECT_SOURCE_DIR}/packaging/Compress.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/packaging/Compress.cmake
    VERBATIM)
  string(MAKE_C_IDENTIFIER "compress_${destination}_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${out})
  install(FILES ${out} DESTINATION ${destination})
endfunction()

# vidorra_install_man_link(LINK PAGE SECTION): LINK's manual page is PAGE's.
function(vidorra_install_man_link link page section)
  set(suffix "")
  if(VIDORRA_GZIP)
    set(suffix ".gz")
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/compressed/${link}.${section}${suffix})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/compressed)
  file(CREATE_LINK ${page}.${section}${suffix} ${out} SYMBOLIC)
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
