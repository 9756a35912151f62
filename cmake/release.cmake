# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the metadata, the manual pages and the Debian package say about this
# release: where the program lives, who makes it, and the release date.

set(BREVOLD_HOMEPAGE "https://brevold.example.org" CACHE STRING
  "The program's home page, without a trailing slash; the AppStream screenshots are looked for under it")
set(BREVOLD_MAINTAINER "The BREVOLD developers <developers@brevold.example.org>" CACHE STRING
  "Name and address of whoever answers for the Debian package")

# The release date is the build's, not one written by hand: SOURCE_DATE_EPOCH
# when it is set (reproducible builds), else the date of the last commit,
# else today. A new commit configures the build again, so the date follows it.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(brevold_epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  set(brevold_epoch "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE brevold_epoch
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path logs/HEAD
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE head_log
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(head_log AND EXISTS "${head_log}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
    endif()
  endif()
  if(NOT brevold_epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP brevold_epoch "%s" UTC)
  endif()
endif()
# string(TIMESTAMP) formats SOURCE_DATE_EPOCH when it is set: lend it the
# chosen time for the two formats wanted, then put it back as it was.
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} "${brevold_epoch}")
string(TIMESTAMP BREVOLD_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP BREVOLD_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
if(saved_epoch STREQUAL "")
  unset(ENV{SOURCE_DATE_EPOCH})
else()
  set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
endif()
message(STATUS "Release ${PROJECT_VERSION} of ${BREVOLD_RELEASE_DATE}")
