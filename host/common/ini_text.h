// Reading and changing initialisation-file text in memory (bytes in the ANSI code page), for the
// per-printer copies of the configuration file. Sections and keys match as the profile API
// matches them: first section and first key of that name, letter case ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vex {

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// The first key and value of `section`.
std::optional<std::pair<std::string, std::string>> firstIniEntry(std::string_view text,
                                                                 std::string_view section);

// `text` with key=value set in `section`: the first line of that key is replaced, or the key is
// added after the section's last entry, or the section is added at the end. New lines use the
// text's own line ending (CR LF when it has none).
std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace vex
