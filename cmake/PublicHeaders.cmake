# The headers an application programmer includes, as <Kovet/KVTImage.h>: the entry headers
# below and every project header they include, flattened into one folder of the build tree
# (build/include/Kovet) and installed from there. Headers nothing public reaches (test
# canvases, metafile records, legacy forms, the array internals) stay private.
set(kovet_public_entries
  display/KVTImage.h display/KVTEdit.h display/KVTCheckBox.h display/FieldFormat.h
  display/FieldData.h display/TypedValue.h display/PageExport.h display/PrintLayout.h display/SvgExport.h
  display/Painter.h display/FillablePdf.h display/PdfFormData.h
  document/KVTFile.h document/OpenForm.h platform/QtCanvas.h)

# Follows the quoted includes of `header` (relative to src/) and adds what it reaches to
# the list named by `out`.
function(kovet_header_closure header out)
  set(reached ${${out}})
  if(header IN_LIST reached)
    return()
  endif()
  list(APPEND reached ${header})
  get_filename_component(folder ${header} DIRECTORY)
  file(STRINGS ${PROJECT_SOURCE_DIR}/src/${header} includes REGEX "^#include \"")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(EXISTS ${PROJECT_SOURCE_DIR}/src/${folder}/${included})
      kovet_header_closure(${folder}/${included} reached)
    elseif(EXISTS ${PROJECT_SOURCE_DIR}/src/${included})
      kovet_header_closure(${included} reached)
    endif()
  endforeach()
  set(${out} ${reached} PARENT_SCOPE)
endfunction()

set(kovet_public_headers)
foreach(entry ${kovet_public_entries})
  kovet_header_closure(${entry} kovet_public_headers)
endforeach()

set(kovet_include_root ${PROJECT_BINARY_DIR}/include)
set(kovet_flattened)
foreach(header ${kovet_public_headers})
  get_filename_component(name ${header} NAME)
  set(flat ${kovet_include_root}/Kovet/${name})
  add_custom_command(OUTPUT ${flat}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/src/${header} -DTARGET=${flat}
      -P ${PROJECT_SOURCE_DIR}/cmake/FlattenHeader.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/src/${header} ${PROJECT_SOURCE_DIR}/cmake/FlattenHeader.cmake
    COMMENT "Public header Kovet/${name}" VERBATIM)
  list(APPEND kovet_flattened ${flat})
endforeach()
add_custom_target(kovet_public_headers ALL DEPENDS ${kovet_flattened})
install(FILES ${kovet_flattened} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/Kovet COMPONENT Development)
