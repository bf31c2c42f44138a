// What crosses between the job and the job-information library: the printing application's
// name going in, and the library's text coming out into the PJL header.
#pragma once

#include <string>
#include <string_view>

namespace vex {

// The application name as printable text: control characters (C0, DEL, C1) are dropped, so a
// name from the shared section or the pipe cannot break the library's lines.
std::u16string printableApplicationName(std::u16string_view name);

// The lines of the library's text that may enter the header: each begins with "@PJL ", ends
// in CR LF and holds no other control byte; other lines (and a last line without its CR LF)
// are dropped, as are lines that would enter a language or end the job.
std::string acceptedJobInfoLines(std::string_view text);

}  // namespace vex
