# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
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
          share/icons/hicolor/scalable/apps/${id}.svg share/mime/packages/${id}.xml
          share/man/man1/brevold.1.gz share/man/man1/brevold-cli.1.gz share/bash-completion/completions/brevold-cli
          share/doc/brevold/README.md share/doc/brevold/LICENSE)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
if(NOT EXISTS ${prefix}/share/doc/brevold/guide.html)
  message(FATAL_ERROR "not installed: share/doc/brevold/guide.html")
endif()
# Debian's copyright, changelog, doc-base entry and lintian overrides are the package's alone.
foreach(f doc/brevold/copyright doc/brevold/changelog.gz doc-base lintian)
  if(EXISTS ${prefix}/share/${f})
    message(FATAL_ERROR "installed, though only the Debian package should hold it: share/${f}")
  endif()
endforeach()
# The configured files: every placeholder filled, the release dated.
set(date "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]")
foreach(page brevold brevold-cli)
  execute_process(COMMAND gzip -dc ${prefix}/share/man/man1/${page}.1.gz RESULT_VARIABLE rc OUTPUT_VARIABLE text)
  if(NOT rc EQUAL 0 OR NOT text MATCHES "^\\.TH [^\n]* \"${date}\" \"BREVOLD ${VERSION}\"" OR text MATCHES "@[A-Z_]+@")
    message(FATAL_ERROR "${page}.1.gz: ${rc}, not a dated manual page of ${VERSION} with every placeholder filled")
  endif()
endforeach()
file(READ ${prefix}/share/metainfo/${id}.metainfo.xml text)
if(NOT text MATCHES "<release version=\"${VERSION}\" date=\"${date}\"/>" OR text MATCHES "@[A-Z_]+@")
  message(FATAL_ERROR "the AppStream metadata has no dated release ${VERSION} or a placeholder left: ${text}")
endif()
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
# The commands that draw nothing start without Qt; the picture commands load
# their module from where the installation put it.
execute_process(COMMAND readelf -d ${prefix}/bin/brevold-cli RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "libQt")
  message(FATAL_ERROR "brevold-cli needs Qt to start: ${rc} ${out}")
endif()
execute_process(COMMAND ${prefix}/bin/brevold-cli diagram sine --out ${WORK}/install-check-sine.png
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/install-check-sine.png)
  message(FATAL_ERROR "the installed brevold-cli draws no diagram: ${rc} ${err}")
endif()
file(REMOVE ${WORK}/install-check-sine.png)
file(REMOVE_RECURSE ${prefix})
