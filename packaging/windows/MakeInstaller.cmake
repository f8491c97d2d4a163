# cmake -DSTAGE=<folder> -DWORK=<dir> -DMAKENSIS=<makensis> -DSCRIPT=<installer.nsi>
#       -DVERSION=<x.y> -DOUTFILE=<setup.exe> -P MakeInstaller.cmake
# Lists the staged folder for the installer (a File line per file), for both
# to find which of its files something holds (a ProbeFile per file), and for
# the uninstaller (a Delete per file; then each folder deepest first, removed
# only when empty), then runs makensis.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT files)
set(install "")
set(probe "")
set(uninstall "")
set(dirs "")
set(current "-")
foreach(f IN LISTS files)
  get_filename_component(dir "${f}" DIRECTORY)
  string(REPLACE "/" "\\" wdir "${dir}")
  string(REPLACE "/" "\\" wfile "${f}")
  if(NOT dir STREQUAL current)
    if(dir STREQUAL "")
      string(APPEND install "SetOutPath \"$INSTDIR\"\n")
    else()
      string(APPEND install "SetOutPath \"$INSTDIR\\${wdir}\"\n")
      set(parent "${dir}")
      while(NOT parent STREQUAL "")
        string(REPLACE "/" "\\" wparent "${parent}")
        list(APPEND dirs "${wparent}")
        get_filename_component(parent "${parent}" DIRECTORY)
      endwhile()
    endif()
    set(current "${dir}")
  endif()
  string(APPEND install "File \"${STAGE}/${f}\"\n")
  string(APPEND probe "!insertmacro ProbeFile \"${wfile}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${wfile}\"\n")
endforeach()
string(APPEND install "SetOutPath \"$INSTDIR\"\n")
# Deepest first: a longer path sorts after its parent.
list(REMOVE_DUPLICATES dirs)
list(SORT dirs)
list(REVERSE dirs)
set(undirs "")
foreach(d IN LISTS dirs)
  string(APPEND undirs "RMDir \"$INSTDIR\\${d}\"\n")
endforeach()
file(WRITE "${WORK}/files.nsh" "${install}")
file(WRITE "${WORK}/probe.nsh" "${probe}")
file(WRITE "${WORK}/unfiles.nsh" "${uninstall}")
file(WRITE "${WORK}/undirs.nsh" "${undirs}")
execute_process(
  COMMAND "${MAKENSIS}" -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DFILES=${WORK}/files.nsh
          -DPROBE=${WORK}/probe.nsh -DUNFILES=${WORK}/unfiles.nsh -DUNDIRS=${WORK}/undirs.nsh
          -DOUTFILE=${OUTFILE} ${SCRIPT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result})")
endif()
