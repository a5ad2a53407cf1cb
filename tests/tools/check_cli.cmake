# The command line of brtl: each case runs the tool and checks its exit status and output.
#   cmake -DBRTL=<tool> -DSCRATCH=<dir> -P check_cli.cmake
# A cross build runs the tool through its emulator (EMULATOR, the list joined with "|").
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/lines.bas" "x = 6 * 7\n? x\n? 1 / 0\n? \"after\"\n")
file(WRITE "${SCRATCH}/syntax.bas" "? 1\n? (2\n? 3\n")
set(failures)

# expect(<status> <output regex> <args>...)
function(expect status pattern)
  execute_process(COMMAND ${emulator} "${BRTL}" ${ARGN} INPUT_FILE "${input}" WORKING_DIRECTORY "${SCRATCH}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
  string(REPLACE "\r\n" "\n" out "${out}") # Windows text streams end lines with CR LF
  if(NOT rc STREQUAL status OR NOT out MATCHES "${pattern}")
    set(failures "${failures}\n  brtl ${ARGN} (stdin ${input}): exit ${rc}, wanted ${status}; printed:\n${out}" PARENT_SCOPE)
  endif()
endfunction()

set(input "${SCRATCH}/lines.bas")
expect(0 "^Usage: brtl" --help)
expect(0 "^brtl [0-9]+\\.[0-9]+\\.[0-9]+\n$" --version)
expect(0 "^ 2 \n$" -e "? 1+1")
expect(1 "^ 42 \nRun-time error 11: Division by zero\nafter\n$" lines.bas)
expect(1 "^ 42 \nRun-time error 11: Division by zero\nafter\n$" -)
expect(1 "^ 42 \nRun-time error 11: Division by zero\nafter\n$") # standard input is no terminal
expect(2 "^ 1 \nSyntax error in line 2 at column 5: '\\)' expected\n 3 \n$" syntax.bas)
expect(2 "Syntax error in line -e 2 at column 4" -e "? 1" -e "x =" -e "? 1 / 0")
expect(1 "^Run-time error 5: Illegal function call\n 7 \n$" -e "? Sqr(-1)" -e "? 7")
expect(2 "cannot open" missing.bas)
expect(2 "^Usage" -e)
expect(2 "^Usage" a.bas b.bas)
# The words after "--" are the program's command line; an -e's own text is never taken for it.
# (A ";" would split a CMake argument: the lines join their texts with "&".)
expect(0 "^one two\\|\n$" -e "? Command & \"|\"" -- one two)
expect(0 "^--\\|\n$" -e "? \"--\" & Command$ & \"|\"")
expect(2 "^Syntax error in line -e 1 at column 1: statement expected\n--\\|x\n$" -e "--" -e "? \"--|\" & Command" -- x)
expect(1 "^ 42 \n.*after\n$" lines.bas -- a b)
expect(0 "^\\|\n$" -e "? Command & \"|\"" --)

file(REMOVE_RECURSE "${SCRATCH}")
if(failures)
  message(FATAL_ERROR "brtl command line:${failures}")
endif()
