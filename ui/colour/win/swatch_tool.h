// The colour-sample tool: whether the model names its registry key, and starting it from the
// folder that key's "install" value holds.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vex {

// Whether the model section has a non-empty "SwatchRegPath" (the page offers the tool then).
bool modelNamesSwatchKey(HANDLE printer);

// The model's "SwatchRegPath": the key below HKEY_LOCAL_MACHINE. Absent when the key is missing,
// empty, or longer than the configuration value's buffer (a cut path would name another key).
std::optional<std::wstring> swatchRegistryPath(HANDLE printer);

// The program the key's "install" value leads to; absent when the key or a usable string value
// is missing.
std::optional<std::wstring> swatchProgram(const std::wstring& registryPath);

// Starts the tool with the page as owner, or shows message 10060 when it is not installed.
// True when it was started.
bool startColourSampleTool(HWND page, HANDLE printer);

}  // namespace vex
