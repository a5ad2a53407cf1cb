# The command line of brtl: each case runs the tool and checks its exit status and output.
#   cmake -DBRTL=<tool> -DSCRATCH=<dir> -P check_cli.cmake
# A cross build runs the tool through its emulator (EMULATOR, the list joined with "|").
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/lines.bas" "x = 6 * 7\n? x\n? 1 / 0\n? \"after\"\n")
file(WRITE "${SCRATCH}/syntax.bas" "? 1\n? (2\n? 3\n")
file(WRITE "${SCRATCH}/main.bas" "Global Total As Long\nAdd 5: Add 7\n? Total; Twice(Total)\n")
file(WRITE "${SCRATCH}/more.bas" "Sub Add(n As Long)\n  Total = Total + n\nEnd Sub\n"
                                 "Function Twice(n As Long) As Long\n  Twice = 2 * n\nEnd Function\n")
file(WRITE "${SCRATCH}/checks.bas" "Option Explicit\nx = 1\nGoTo Nowhere\nCall Twice(1, 2)\n")
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
# A file is a program: a trap that nothing handles ends it, with its place.
expect(1 "^ 42 \nRun-time error 11: Division by zero\n  in module-level code at line 3 of lines.bas\n$" lines.bas)
expect(1 "^ 42 \nRun-time error 11: Division by zero\nafter\n$" -)
expect(1 "^ 42 \nRun-time error 11: Division by zero\nafter\n$") # standard input is no terminal
# A program that is wrong does not start; the lines of standard input run one by one.
expect(2 "^syntax.bas:2:5: error: '\\)' expected\n$" syntax.bas)
set(input "${SCRATCH}/syntax.bas")
expect(2 "^ 1 \nSyntax error in line 2 at column 5: '\\)' expected\n 3 \n$" -)
set(input "${SCRATCH}/lines.bas")
# Every error the checker finds, each at its line and column.
expect(2 "^checks.bas:2:1: error: Variable not defined: x\nchecks.bas:4:6: error: Sub or Function not defined: Twice\nchecks.bas:3:6: error: Label not defined: Nowhere\n$" checks.bas)
# Several modules make one program: Global variables and procedures are seen by all.
expect(0 "^ 12  24 \n$" main.bas more.bas)
expect(2 "Syntax error in line -e 2 at column 4" -e "? 1" -e "x =" -e "? 1 / 0")
expect(1 "^Run-time error 5: Illegal function call\n 7 \n$" -e "? Sqr(-1)" -e "? 7")
expect(2 "cannot open" missing.bas)
expect(2 "^Usage" -e)
expect(2 "^brtl: cannot open a.bas" a.bas b.bas)
# The words after "--" are the program's command line; an -e's own text is never taken for it.
# (A ";" would split a CMake argument: the lines join their texts with "&".)
expect(0 "^one two\\|\n$" -e "? Command & \"|\"" -- one two)
expect(0 "^--\\|\n$" -e "? \"--\" & Command$ & \"|\"")
expect(2 "^Syntax error in line -e 1 at column 1: statement expected\n--\\|x\n$" -e "--" -e "? \"--|\" & Command" -- x)
expect(1 "^ 42 \n.*line 3 of lines.bas\n$" lines.bas -- a b)
expect(0 "^\\|\n$" -e "? Command & \"|\"" --)

# translate, build and run (a native Linux build compiles programs).
if(NOT WIN32 AND NOT emulator)
  set(ENV{BRTL_CACHE} "${SCRATCH}/cache")
  expect(0 "^// lines.bas translated to C\\+\\+ by brtl.*int main\\(int argc, char \\*\\*argv\\)" translate lines.bas)
  expect(2 "^syntax.bas:2:5: error: '\\)' expected\n$" translate syntax.bas)
  expect(2 "^brtl build: no module given\nUsage: brtl translate" build)
  expect(2 "^brtl run: unknown option -x\n" run -x lines.bas)
  # A trap the program does not handle: its message and place, status 1, from the built program.
  expect(0 "^$" build lines.bas -o lines_program)
  execute_process(COMMAND "${SCRATCH}/lines_program" OUTPUT_VARIABLE out ERROR_VARIABLE out
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 1 OR NOT out STREQUAL " 42 \nRun-time error 11: Division by zero\n  in module-level code at line 3 of lines.bas\n")
    set(failures "${failures}\n  the built lines_program: exit ${rc}; printed:\n${out}")
  endif()
  # run builds once into the cache, then runs what it built; several modules, the command line.
  file(WRITE "${SCRATCH}/args.bas" "? 6 * 7; \"[\" & Command & \"]\"\n")
  expect(0 "^ 42 \\[one two\\]\n$" run args.bas -- one two)
  file(GLOB cached "${SCRATCH}/cache/*")
  list(LENGTH cached cached_count)
  expect(0 "^ 42 \\[three\\]\n$" run args.bas -- three)
  file(GLOB cached_again "${SCRATCH}/cache/*")
  if(NOT cached_count EQUAL 1 OR NOT cached STREQUAL cached_again)
    set(failures "${failures}\n  brtl run built again or kept more than one program: ${cached_again}")
  endif()
  expect(0 "^ 12  24 \n$" run main.bas more.bas)
  # A missing compiler is a message that says what to install.
  set(ENV{CXX} "${SCRATCH}/no-such-compiler")
  expect(2 "^brtl build: no C\\+\\+ compiler: .*no-such-compiler is not there. Install one \\(on Debian: apt-get install g\\+\\+\\)" build lines.bas)
  unset(ENV{CXX})
endif()

file(REMOVE_RECURSE "${SCRATCH}")
if(failures)
  message(FATAL_ERROR "brtl command line:${failures}")
endif()
