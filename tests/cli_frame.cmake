# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# brevold-cli frame writes a 1280 x 1024 PNG.
file(REMOVE ${OUT})
execute_process(COMMAND ${CLI} frame --angle 0 --out ${OUT} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${OUT})
  message(FATAL_ERROR "frame failed: ${rc} ${err}")
endif()
file(READ ${OUT} head LIMIT 24 HEX)
# PNG signature, then the IHDR chunk: width 0x500, height 0x400.
if(NOT head MATCHES "^89504e470d0a1a0a0000000d494844520000050000000400")
  message(FATAL_ERROR "not a 1280 x 1024 PNG: ${head}")
endif()
execute_process(COMMAND ${CLI} frame --angle 0 RESULT_VARIABLE rc2 ERROR_VARIABLE err2)
if(NOT rc2 EQUAL 2 OR NOT err2 MATCHES "--out")
  message(FATAL_ERROR "frame without --out: ${rc2} ${err2}")
endif()
# --steam draws the steam display into the same picture; --frames runs the
# gear up to the angle first.
get_filename_component(dir ${OUT} DIRECTORY)
set(steam ${dir}/frame0_steam.png)
file(REMOVE ${steam})
execute_process(COMMAND ${CLI} frame --angle 0 --steam --frames 12 --out ${steam} RESULT_VARIABLE rc3 ERROR_VARIABLE err3)
if(NOT rc3 EQUAL 0 OR NOT EXISTS ${steam})
  message(FATAL_ERROR "frame --steam failed: ${rc3} ${err3}")
endif()
file(SHA256 ${OUT} plain)
file(SHA256 ${steam} withSteam)
if(plain STREQUAL withSteam)
  message(FATAL_ERROR "frame --steam drew the picture without steam")
endif()
# A dimension file that cannot be read stops frame before it draws.
file(WRITE ${dir}/short.dmi "short")
file(REMOVE ${dir}/never.png)
execute_process(COMMAND ${CLI} frame --dmi ${dir}/short.dmi --out ${dir}/never.png RESULT_VARIABLE rc4 ERROR_VARIABLE err4)
if(NOT rc4 EQUAL 2 OR NOT err4 MATCHES "cannot read '.*short.dmi': Read beyond end of file\n$" OR EXISTS ${dir}/never.png)
  message(FATAL_ERROR "frame with a short --dmi file: ${rc4} ${err4}")
endif()
