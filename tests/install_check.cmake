# cmake --install into an empty prefix: what lands there passes the desktop
# validators, and the installed programs run from another folder.
set(prefix ${WORK}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(id org.brevold.brevold)
foreach(f bin/brevold bin/brevold-cli share/brevold/instruct.doc share/brevold/BrvSpIn.doc share/brevold/Exhaust.wav
          share/brevold/Error.wav share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
          share/icons/hicolor/scalable/apps/${id}.svg share/mime/packages/${id}.xml)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND desktop-file-validate ${prefix}/share/applications/${id}.desktop
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "error")
  message(FATAL_ERROR "desktop-file-validate: ${rc} ${out}")
endif()
execute_process(COMMAND appstreamcli validate --no-net ${prefix}/share/metainfo/${id}.metainfo.xml
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${rc} ${out}")
endif()
execute_process(COMMAND update-mime-database ${prefix}/share/mime RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
file(READ ${prefix}/share/mime/globs2 globs)
if(NOT rc EQUAL 0 OR NOT globs MATCHES "application/x-brevold-dimensions:\\*\\.dmi")
  message(FATAL_ERROR "the .dmi file type is not registered: ${rc}")
endif()
foreach(program brevold-cli brevold)
  execute_process(COMMAND ${prefix}/bin/${program} --version WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "^${program} ${VERSION}\n$")
    message(FATAL_ERROR "${program} --version: ${rc} '${out}' ${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${prefix})
