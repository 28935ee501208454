#pragma once

#include <string>
#include <vector>

namespace dormivo::registry {

// A command line as program and arguments, read the same way wherever it is started (at
// expiry and at login). A line that names an existing file, as it stands or without its
// leading and trailing blanks, is that file alone. An unquoted program path may hold blanks
// (an application folder under "My Apps"): the longest prefix up to a blank that is a program
// file is the program. Otherwise blanks and tabs separate and double quotes group; "" is an
// empty argument.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// By those last rules alone, whatever files there are.
std::vector<std::string> splitArguments(const std::string& line);

} // namespace dormivo::registry
