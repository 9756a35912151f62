# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed tool's exit status and output channels, as a script sees them.
execute_process(COMMAND ${CLI} solve --travel -0.7 --set 3=-1 RESULT_VARIABLE ok OUTPUT_VARIABLE out ERROR_QUIET)
if(NOT ok EQUAL 0 OR NOT out MATCHES "^{\"DrvAngle\":0,")
  message(FATAL_ERROR "solve with negative values failed: ${ok} ${out}")
endif()
execute_process(COMMAND ${CLI} solve --frobnicate RESULT_VARIABLE bad OUTPUT_VARIABLE out2 ERROR_VARIABLE err)
if(NOT bad EQUAL 2 OR NOT err MATCHES "--frobnicate" OR NOT out2 STREQUAL "")
  message(FATAL_ERROR "unknown option: status ${bad}, stderr '${err}'")
endif()
