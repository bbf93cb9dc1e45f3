// The process's command line, as GetCommandLineA gives it: the program's
// name and its arguments in one CP932 text, each quoted by the platform's
// rules (those CommandLineToArgvW and the C runtime split by), so that a
// program splitting the line by those rules gets every argument back
// unchanged.
#pragma once

#include <string>
#include <string_view>

namespace hp::kernel32 {

// Sets the text GetCommandLineA answers. The process entry calls it before
// any constructor of the program runs; until then the line is empty.
void setCommandLine(std::string line);

// One argument as a command line holds it: as it is when it has neither
// blank, tab nor quote and is not empty; otherwise in quotes, with each
// quote escaped by a backslash and the backslashes before a quote (or the
// closing one) doubled. Trail bytes of double-byte characters are never
// taken for backslashes or quotes.
std::string quoteCommandLineArgument(std::string_view argument);

}  // namespace hp::kernel32
