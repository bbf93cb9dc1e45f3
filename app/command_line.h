// Files named on the command line ("hollyphone FILE..."): each joins the
// play queue as a drop of the same file would. Both programs split their
// ANSI command line themselves, by the platform's rules for the arguments
// after the program's name:
//  - blanks and tabs separate arguments, except inside quotes;
//  - 2n backslashes before a quote give n backslashes, and the quote opens
//    or closes a quoted part; 2n + 1 give n backslashes and a literal quote;
//  - other backslashes are literal; inside quotes, "" is a literal quote;
//  - a double-byte character is taken whole: its second byte is never a
//    backslash, however it reads on its own.
#pragma once

#include "platform/win32.h"

// What follows the program's name in a full command line (GetCommandLineA):
// the name is either quoted or ends at the first blank or tab.
const char *commandLineArguments(const char *commandLine);

// Calls take(argument, context) for each argument, in order, and returns
// how many there were.
int forEachArgument(const char *arguments, void (*take)(const char *argument, void *context),
                    void *context);

// The full path of an argument, as GetFullPathNameA makes it. False when
// there is none or it does not fit a path buffer: such an argument names no
// file the queue can hold.
bool fullPathOf(const char *argument, char (&fullPath)[MAX_PATH]);

// Queues each file named by the arguments, by its full path; returns how
// many joined the queue. An argument without a full path is left out.
int queueCommandLineFiles(const char *arguments);
