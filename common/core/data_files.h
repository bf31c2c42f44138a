// Which driver files may be opened to every user: data files only, never a library or program
// that a plug-in, the spooler or the system would load or run.
#pragma once

#include <string_view>

namespace vex {

// True when `name` (a file name or path) ends in an extension the system loads or runs as code
// ("dll", "exe", "sys", "drv", ...; any letter case). The system ignores trailing dots and
// blanks of a name, so they are ignored here too.
bool isProgramFileName(std::u16string_view name);

// True when `firstBytes`, the start of a file, is an executable image ("MZ"): such a file can be
// loaded whatever its name.
bool isProgramImage(std::string_view firstBytes);

}  // namespace vex
