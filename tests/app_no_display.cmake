# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# brevold --version and --help answer without a display (no DISPLAY, no
# QT_QPA_PLATFORM), with the texts the program gives when it has one.
set(bare ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
foreach(opt --version --help)
  execute_process(COMMAND ${bare} ${APP} ${opt} RESULT_VARIABLE rc OUTPUT_VARIABLE bare_out ERROR_VARIABLE bare_err)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${APP} ${opt} RESULT_VARIABLE rc2
    OUTPUT_VARIABLE shown_out)
  if(NOT rc EQUAL 0 OR NOT bare_out STREQUAL shown_out OR bare_out STREQUAL "")
    message(FATAL_ERROR "brevold ${opt} without a display: status ${rc}, '${bare_out}' '${bare_err}'")
  endif()
endforeach()
if(NOT bare_out MATCHES "FILE.dmi")
  message(FATAL_ERROR "brevold --help: ${bare_out}")
endif()
