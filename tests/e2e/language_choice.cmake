# The language chosen under 帮助 → "语言 / Language" is kept for the next
# start, and KORVANTA_LANG overrides it: three runs of the driver share one
# settings folder. With -DSETTINGS=ini they are kept in KORVANTA_SETTINGS_DIR's
# INI file instead (as the Windows runs keep them), and nowhere else.
foreach(var DRIVER WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "language_choice.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
if(SETTINGS STREQUAL "ini")
  set(ENV{KORVANTA_SETTINGS_DIR} "${WORK}/ini")
else()
  unset(ENV{KORVANTA_SETTINGS_DIR})
endif()
unset(ENV{KORVANTA_LANG})

# run(<script text> <expected output> [KORVANTA_LANG value])
function(run script expected)
  if(ARGC GREATER 2)
    set(ENV{KORVANTA_LANG} "${ARGV2}")
  else()
    unset(ENV{KORVANTA_LANG})
  endif()
  file(WRITE "${WORK}/script.txt" "${script}")
  execute_process(COMMAND "${DRIVER}" "${WORK}/script.txt"
    OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 120)
  if(NOT status EQUAL 0 OR NOT actual STREQUAL expected)
    message(FATAL_ERROR "KORVANTA_LANG=$ENV{KORVANTA_LANG}\n${script}\nexpected:\n${expected}\nactual (status ${status}):\n${actual}\n${errors}")
  endif()
endfunction()

# A fresh start is Chinese; choosing English says when it applies.
run("print Command1(0)\nmenu English\nprint message\n"
    "Command1(0)=两样本均数t检验\nmessage=提示|界面语言将在下次启动 Korvanta 时更换。\n")
# The next start is English, and the choice shows as made.
run("print Command1(0) Label5(2)\nmenu 中文\nprint message\n"
    "Command1(0)=Two-sample t test\nLabel5(2)=Result:\nmessage=Notice|The interface language changes the next time Korvanta starts.\n")
# Back to Chinese; KORVANTA_LANG overrides the saved choice either way.
run("print Command1(0)\n" "Command1(0)=两样本均数t检验\n")
run("print Command1(0)\n" "Command1(0)=Two-sample t test\n" en)
run("menu English\nprint message\n" "message=\n" en)
run("print Command1(0)\n" "Command1(0)=两样本均数t检验\n" zh)

if(SETTINGS STREQUAL "ini")
  if(NOT EXISTS "${WORK}/ini/korvanta.ini" OR EXISTS "${WORK}/config/Korvanta")
    message(FATAL_ERROR "the choice was not kept in ${WORK}/ini/korvanta.ini alone")
  endif()
endif()
