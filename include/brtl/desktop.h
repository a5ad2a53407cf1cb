/* brtl: process and desktop interaction: the environment and the command line, starting
 * programs, activating windows, the beep and SendKeys. */
#ifndef BRTL_DESKTOP_H
#define BRTL_DESKTOP_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Environment and command line ----------------------------------------------------------- */

/* The command-line text of the running program, which the host writes as a NUL-terminated text
 * of at most 255 characters; zero-filled at load, only read by the library. */
BRTL_API extern char BiBuiltInVar_Command_[256];

/* The value of the variable named by name (blanks around it trimmed) as a temporary; the empty
 * string when it is not set. An empty name raises trap 5. Frees name by the freeing rule. */
BRTL_API BiString ZbiBuiltIn_EnvironStr(BiString name);
/* The whole entry "name=value" at position 1 to 255 of the environment as a temporary; the empty
 * string past the last entry. Another position raises trap 5. */
BRTL_API BiString ZbiBuiltIn_EnvironIdx(int32_t position);
/* Environ by a Variant it owns: a String is a name, a number a position (converted to Integer);
 * Empty raises trap 5, Null trap 94, Error trap 13, any other subtype trap 5. */
BRTL_API BiString ZbiBuiltIn_EnvironVar(VARIANT v);
/* A temporary copy of BiBuiltInVar_Command_ (at most its 256 bytes). */
BRTL_API BiString ZbiBuiltIn_Command_(void);

/* ---- Shell, AppActivate and Beep ------------------------------------------------------------ */

/* The process id of the program a successful Shell started: its result minus 32. */
#define BRTL_SHELL_PROCESS_ID(result) ((result)-32)

/* Starts the program of the command line with the window style 1 to 9 (another style, or an
 * empty command, raises trap 5); the result of ZbiRunProgram, or -1 after a trap. Frees command
 * by the freeing rule. */
BRTL_API int32_t ZbiBuiltIn_Shell(BiString command, int32_t style);
/* Splits the command line (blanks and tabs separate, double quotes group, a backslash escapes a
 * quote) and starts the program with the rest as its arguments. On success the process id plus
 * 32; -1 after trap 53 (program or directory missing, leading blank), 7 or 5. The started
 * program is reaped when it ends. */
BRTL_API int32_t ZbiRunProgram(const char *command, int32_t style);
/* Activates the top-level window whose title is the text exactly; frees title by the freeing
 * rule. An empty title raises trap 5. */
BRTL_API void ZbiBuiltIn_AppActivate(BiString title);
/* Activates the top-level window whose title is the text and waits until it has the focus;
 * trap 5 when there is no such window, no display, or it does not get the focus. */
BRTL_API void ZbiAppActivate(const char *title);
/* The display's bell, or BEL on the terminal when no display is open. */
BRTL_API void ZbiBuiltIn_Beep(void);

/* ---- SendKeys ------------------------------------------------------------------------------- */

/* Queues the keys of the notation for the focused window and waits until they are played when
 * wait is nonzero; an empty string raises trap 5. Frees keys by the freeing rule. */
BRTL_API void ZbiBuiltIn_SendKeys(BiString keys, int32_t wait);
/* As ZbiBuiltIn_SendKeys on a NUL-terminated text: 0, or the trap hook's result after trap 5
 * (syntax error, no memory, no focused window or no display). */
BRTL_API int32_t ZbiSendKeys(const char *keys, int32_t wait);

/* One event of the compiled key queue: the window message (256 key down, 257 key up, 260 and
 * 261 the same with Alt) and the key word, whose low byte is the virtual-key code. */
typedef struct BrtlKeyEvent {
    uint32_t message;
    uint32_t key;
} BrtlKeyEvent;

/* Compiles a key string as SendKeys does, without playing it or needing a window: writes at most
 * capacity events to out (which may be null when capacity is 0) and returns the number of events
 * of the whole string, or -1 for an empty string or a syntax error, -2 when memory runs out. */
BRTL_API int32_t brtl_compile_keys(const char *keys, BrtlKeyEvent *out, int32_t capacity);

BRTL_END_DECLS

#endif
