# cmake -DSOURCE=CHANGELOG.md -DOUTPUT=changelog -DPACKAGE=name -DMAINTAINER="Name <mail>" -P DebianChangelog.cmake
#
# Writes the Debian changelog of the package from the project's CHANGELOG.md. Every
# release there is a heading "## VERSION (YYYY-MM-DD)" followed by "- " items (an item
# may go on over indented lines); anything else is prose for the reader and skipped.
# The result is what dpkg-parsechangelog and lintian read:
#
#   name (VERSION) unstable; urgency=medium
#
#     * item, wrapped at 78 columns
#
#    -- Name <mail>  Tue, 08 Dec 2026 00:00:00 +0000

foreach(required SOURCE OUTPUT PACKAGE MAINTAINER)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "DebianChangelog.cmake: ${required} is not given")
  endif()
endforeach()

set(kWrapColumn 78)
set(kMonths Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(kWeekdays Sun Mon Tue Wed Thu Fri Sat)
# Sakamoto's table for the day of the week.
set(kMonthOffsets 0 3 2 5 0 3 5 1 4 6 2 4)

# "YYYY-MM-DD" as the RFC 2822 date Debian changelogs carry, at midnight UTC.
function(rfc2822_date iso out_var)
  if(NOT iso MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "${SOURCE}: release date '${iso}' is not YYYY-MM-DD")
  endif()
  math(EXPR year "${CMAKE_MATCH_1}")
  math(EXPR month "1${CMAKE_MATCH_2} - 100")   # no leading zero read as octal
  math(EXPR day "1${CMAKE_MATCH_3} - 100")
  if(month LESS 1 OR month GREATER 12 OR day LESS 1 OR day GREATER 31)
    message(FATAL_ERROR "${SOURCE}: release date '${iso}' is no date")
  endif()
  math(EXPR month_index "${month} - 1")
  list(GET kMonthOffsets ${month_index} offset)
  list(GET kMonths ${month_index} month_name)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${year} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  list(GET kWeekdays ${weekday} weekday_name)
  set(${out_var} "${weekday_name}, ${CMAKE_MATCH_3} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# One item as "  * ..." lines of at most kWrapColumn characters.
function(wrap_item text out_var)
  string(REGEX REPLACE "[ \t]+" ";" words "${text}")
  set(result "")
  set(line "  *")
  foreach(word IN LISTS words)
    string(LENGTH "${line} ${word}" length)
    if(length GREATER kWrapColumn AND NOT line STREQUAL "  *" AND NOT line STREQUAL "   ")
      string(APPEND result "${line}\n")
      set(line "   ")
    endif()
    string(APPEND line " ${word}")
  endforeach()
  set(${out_var} "${result}${line}\n" PARENT_SCOPE)
endfunction()

# CMake lists are ';'-separated and treat brackets specially: those characters travel
# as one-character stand-ins (so that wrapping counts them right) and come back when
# the file is written.
string(ASCII 1 kSemicolon)
string(ASCII 2 kOpenBracket)
string(ASCII 3 kCloseBracket)
file(READ "${SOURCE}" text)
string(REPLACE ";" "${kSemicolon}" text "${text}")
string(REPLACE "[" "${kOpenBracket}" text "${text}")
string(REPLACE "]" "${kCloseBracket}" text "${text}")
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(output "")
set(entry_open FALSE)
set(item "")
set(entry_date "")

macro(flush_item)
  if(NOT item STREQUAL "")
    wrap_item("${item}" wrapped)
    string(APPEND output "${wrapped}")
    set(item "")
  endif()
endmacro()

macro(close_entry)
  flush_item()
  if(entry_open)
    string(APPEND output "\n -- ${MAINTAINER}  ${entry_date}\n\n")
    set(entry_open FALSE)
  endif()
endmacro()

set(releases 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^## +([^ ]+) +\\(([^)]*)\\) *$")
    close_entry()
    set(version "${CMAKE_MATCH_1}")
    rfc2822_date("${CMAKE_MATCH_2}" entry_date)
    string(APPEND output "${PACKAGE} (${version}) unstable; urgency=medium\n\n")
    set(entry_open TRUE)
    math(EXPR releases "${releases} + 1")
  elseif(line MATCHES "^#")
    close_entry()
  elseif(entry_open AND line MATCHES "^- +(.*)$")
    flush_item()
    set(item "${CMAKE_MATCH_1}")
  elseif(entry_open AND NOT item STREQUAL "" AND line MATCHES "^[ \t]+(.*)$")
    string(APPEND item " ${CMAKE_MATCH_1}")
  elseif(entry_open AND NOT line MATCHES "^[ \t]*$")
    message(FATAL_ERROR "${SOURCE}: in a release only '- ' items may stand, not: ${line}")
  endif()
endforeach()
close_entry()

if(releases EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: no release heading '## VERSION (YYYY-MM-DD)'")
endif()
string(REGEX REPLACE "\n\n$" "\n" output "${output}")
string(REPLACE "${kSemicolon}" ";" output "${output}")
string(REPLACE "${kOpenBracket}" "[" output "${output}")
string(REPLACE "${kCloseBracket}" "]" output "${output}")
file(WRITE "${OUTPUT}" "${output}")
