// The support page: a property page whose template (800), icon (1102) and pictures come from the
// support-page resource library that the configuration names, with one button that opens the
// support address.
#pragma once

#include <windows.h>

#include <string>

#include "property_contexts.h"
#include "ui_dialog.h"

namespace vex {

inline constexpr int kSupportPageTemplate = 800;
inline constexpr int kSupportPageIcon = 1102;

// The support-page resource library for the printer: loaded once per process (kept as the
// module state's resourceLibrary until the plug-in is unloaded) from the folder of the plug-in
// INI file under the name "AskVexRES" gives, only when both "AskVexURL" and "AskVexRES" are set.
// Null when either is empty, the name is not a bare file name, or the library does not load:
// then the sheet has no support page.
HMODULE supportPageLibrary(HANDLE printer, const wchar_t* pluginIniPath);

// The folder of a file path, up to and including its last "\" (empty without one).
std::wstring folderOf(const std::wstring& path);

// Only web addresses are handed to the shell: the value comes from a file, and the shell would
// start a program just as readily.
bool isWebAddress(const std::wstring& address);

class SupportPage : public UiDialog<SupportPage> {
 public:
  explicit SupportPage(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const;

 protected:
  bool onInit() override;
  bool onSetActive() override;
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void drawPicture();
  void openSupportAddress();

  DocumentContext& context_;
};

}  // namespace vex
