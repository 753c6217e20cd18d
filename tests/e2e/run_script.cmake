# Runs one driver script and compares its output with the expected output
# beside it. ${DATA} in a script names tests/data, ${OUT} a fresh folder for
# files the script writes. A file NAME.rc beside the script holds the exit
# status the run must end with (0 when there is none), a file NAME.lang the
# interface language it runs in (en or zh).
foreach(var DRIVER SCRIPT EXPECTED DATA WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_script.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(READ "${SCRIPT}" text)
string(REPLACE "\${DATA}" "${DATA}" text "${text}")
string(REPLACE "\${OUT}" "${WORK}" text "${text}")
file(WRITE "${WORK}/script.txt" "${text}")

# The program's settings (the saved interface language) live in the work
# folder, so a choice saved on this machine or by another script changes
# nothing. A file NAME.lang beside the script names the language the run
# starts in through KORVANTA_LANG; without one the run starts as a fresh
# installation does.
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
get_filename_component(lang_stem "${SCRIPT}" NAME_WE)
get_filename_component(lang_folder "${SCRIPT}" DIRECTORY)
if(EXISTS "${lang_folder}/${lang_stem}.lang")
  file(READ "${lang_folder}/${lang_stem}.lang" language)
  string(STRIP "${language}" language)
  set(ENV{KORVANTA_LANG} "${language}")
else()
  unset(ENV{KORVANTA_LANG})
endif()

# XVFB_RUN: the driver runs on a virtual X server of its own.
set(launcher)
if(DEFINED XVFB_RUN)
  set(launcher "${XVFB_RUN}" -a -s "-screen 0 1024x768x24")
endif()
execute_process(COMMAND ${launcher} "${DRIVER}" "${WORK}/script.txt"
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status
  TIMEOUT 120)
# Paths of this checkout and build read the same on every machine.
if(DEFINED BUILD)
  string(REPLACE "${BUILD}" "\${BUILD}" actual "${actual}")
endif()
if(DEFINED SOURCE)
  string(REPLACE "${SOURCE}" "\${SOURCE}" actual "${actual}")
endif()
file(WRITE "${WORK}/actual.txt" "${actual}")

set(wanted_status 0)
get_filename_component(stem "${SCRIPT}" NAME_WE)
get_filename_component(folder "${SCRIPT}" DIRECTORY)
if(EXISTS "${folder}/${stem}.rc")
  file(READ "${folder}/${stem}.rc" wanted_status)
  string(STRIP "${wanted_status}" wanted_status)
endif()
if(NOT "${status}" STREQUAL "${wanted_status}")
  message(FATAL_ERROR "driver exited with ${status}, expected ${wanted_status}\n${errors}")
endif()

file(READ "${EXPECTED}" expected)
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u "${EXPECTED}" "${WORK}/actual.txt" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n${difference}\n${errors}")
endif()
