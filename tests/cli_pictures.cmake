# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# brevold-cli diagram port writes a valid SVG, a one-page PDF and a 632 x 414
# PNG by the file's suffix; an unknown suffix is bad usage, nothing written.
foreach(ext svg pdf png gif)
  file(REMOVE ${WORK}/port.${ext})
  execute_process(COMMAND ${CLI} diagram port --out ${WORK}/port.${ext} RESULT_VARIABLE rc_${ext} ERROR_VARIABLE err_${ext})
endforeach()
foreach(ext svg pdf png)
  if(NOT rc_${ext} EQUAL 0 OR NOT EXISTS ${WORK}/port.${ext})
    message(FATAL_ERROR "diagram port --out port.${ext}: ${rc_${ext}} ${err_${ext}}")
  endif()
endforeach()
file(READ ${WORK}/port.svg svg)
if(NOT svg MATCHES "^<\\?xml[^>]*>[ \n]*<svg [^>]*viewBox=\"0 0 632 414\"" OR NOT svg MATCHES "</svg>[ \n]*$"
   OR NOT svg MATCHES "Percent Piston Travel")
  message(FATAL_ERROR "port.svg is not the port diagram's SVG")
endif()
file(STRINGS ${WORK}/port.pdf pages REGEX "/Type */Page([^s]|$)")
list(LENGTH pages n)
file(READ ${WORK}/port.pdf head LIMIT 5)
if(NOT head MATCHES "^%PDF-" OR NOT n EQUAL 1)
  message(FATAL_ERROR "port.pdf is not a one-page PDF (${head}, ${n} pages)")
endif()
file(READ ${WORK}/port.png png LIMIT 24 HEX)
# PNG signature, then the IHDR chunk: width 0x278, height 0x19e.
if(NOT png MATCHES "^89504e470d0a1a0a0000000d49484452000002780000019e")
  message(FATAL_ERROR "port.png is not 632 x 414: ${png}")
endif()
if(NOT rc_gif EQUAL 2 OR EXISTS ${WORK}/port.gif OR NOT err_gif MATCHES "^brevold-cli: [^\n]*port.gif[^\n]*\n$")
  message(FATAL_ERROR "diagram port --out port.gif: ${rc_gif} ${err_gif}")
endif()
# The picture does not follow the desktop's scaling: the same bytes with
# QT_SCALE_FACTOR=2 in the environment; --scale-picture 2 asks for a PNG
# twice as wide and high.
foreach(cmd "diagram;oval" "frame;--angle;90")
  string(REPLACE ";" "_" name "${cmd}")
  execute_process(COMMAND ${CLI} ${cmd} --out ${WORK}/${name}_1.png RESULT_VARIABLE rc1)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_SCALE_FACTOR=2 QT_SCREEN_SCALE_FACTORS=2 QT_FONT_DPI=144
    ${CLI} ${cmd} --out ${WORK}/${name}_2.png RESULT_VARIABLE rc2)
  file(SHA256 ${WORK}/${name}_1.png h1)
  file(SHA256 ${WORK}/${name}_2.png h2)
  if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0 OR NOT h1 STREQUAL h2)
    message(FATAL_ERROR "${cmd}: the PNG differs under QT_SCALE_FACTOR=2 (${rc1} ${rc2})")
  endif()
endforeach()
execute_process(COMMAND ${CLI} diagram port --scale-picture 2 --out ${WORK}/port2.png RESULT_VARIABLE rc)
file(READ ${WORK}/port2.png png LIMIT 24 HEX)
# 1264 x 828 device pixels.
if(NOT rc EQUAL 0 OR NOT png MATCHES "^89504e470d0a1a0a0000000d49484452000004f00000033c")
  message(FATAL_ERROR "diagram port --scale-picture 2: ${rc} ${png}")
endif()
