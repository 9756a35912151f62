# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A save stopped part-way by the file-size limit exits 1 with one line and
# leaves the earlier file byte for byte, with no temporary file beside it.
set(dir ${WORK}/save_limit)
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir})
execute_process(COMMAND ${CLI} save --out ${dir}/gear.dmi RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "first save failed: ${rc} ${err}")
endif()
file(SHA256 ${dir}/gear.dmi before)
# The limit's signal at its default (it would end the program): brevold-cli
# ignores it itself, so the write fails (EFBIG); 1 block is less than one
# dimension file.
execute_process(COMMAND sh -c "trap - XFSZ; ulimit -f 1; exec \"$0\" save --out \"$1\" --set MainRodLen=17"
  ${CLI} ${dir}/gear.dmi RESULT_VARIABLE rc2 OUTPUT_VARIABLE out2 ERROR_VARIABLE err2)
file(SHA256 ${dir}/gear.dmi after)
file(GLOB left ${dir}/* ${dir}/.*)
if(NOT rc2 EQUAL 1 OR NOT out2 STREQUAL "" OR NOT err2 MATCHES "^brevold-cli: cannot write '[^\n]*gear.dmi': [^\n]+\n$")
  message(FATAL_ERROR "save over the size limit: status ${rc2}, stderr '${err2}'")
endif()
if(NOT before STREQUAL after)
  message(FATAL_ERROR "the failed save changed the earlier file")
endif()
list(LENGTH left n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "the failed save left files behind: ${left}")
endif()
file(REMOVE_RECURSE ${dir})
