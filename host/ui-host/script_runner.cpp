#include "script_runner.h"

#include <prsht.h>

#include <exception>
#include <system_error>

#include "driver_page.h"
#include "host_files.h"
#include "png_encoder.h"

namespace vex::uihost {
namespace {

constexpr DWORD kDefaultStepMs = 3000;
constexpr DWORD kPollMs = 20;
constexpr UINT kSendMs = 250;  // a send that opens a modal window returns after this
constexpr UINT kMarkerMessage = WM_APP + 1;
constexpr wchar_t kMarkerClass[] = L"VexScriptMarker";

bool sameText(const std::string& a, const std::string& b) {
  return normaliseLineBreaks(a) == normaliseLineBreaks(b);
}

std::string trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? text : text.substr(start);
}

}  // namespace

ScriptRunner::ScriptRunner(RunnerSetup setup) : setup_(std::move(setup)) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = markerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kMarkerClass;
  RegisterClassW(&windowClass);  // fails harmlessly when it is registered already
  marker_ = CreateWindowExW(0, kMarkerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  markerEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (marker_ != nullptr) {
    SetWindowLongPtrW(marker_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
}

ScriptRunner::~ScriptRunner() {
  join();
  if (marker_ != nullptr) DestroyWindow(marker_);
  if (markerEvent_ != nullptr) CloseHandle(markerEvent_);
  if (done_ != nullptr) CloseHandle(done_);
}

void ScriptRunner::start() {
  if (marker_ == nullptr || markerEvent_ == nullptr || done_ == nullptr) {
    failure_ = "the script runner cannot start: " + utf8(win32ErrorText(GetLastError()));
    if (done_ != nullptr) SetEvent(done_);
    return;
  }
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error& error) {
    failure_ = std::string("the script runner cannot start: ") + error.what();
    SetEvent(done_);
  }
}

void ScriptRunner::join() {
  if (thread_.joinable()) thread_.join();
}

LRESULT CALLBACK ScriptRunner::markerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMarkerMessage) {
    auto* self = reinterpret_cast<ScriptRunner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      self->markerSeen_.store(static_cast<long>(lParam));
      SetEvent(self->markerEvent_);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Posted messages are taken in order: once the marker is seen, what was posted before it has
// been handled, or its handler is inside a modal loop (which took the marker).
bool ScriptRunner::settle(DWORD timeoutMs, std::string* seen) {
  const long mine = ++markerPosted_;
  if (!PostMessageW(marker_, kMarkerMessage, 0, mine)) {
    *seen = "cannot post to the sheet's thread";
    return false;
  }
  const DWORD start = GetTickCount();
  while (markerSeen_.load() < mine) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) {
      *seen = "the sheet's thread did not answer within " + std::to_string(timeoutMs) + " ms";
      return false;
    }
    WaitForSingleObject(markerEvent_, timeoutMs - spent);
  }
  // A dialog loop takes the marker before it shows its dialog: wait until it is up.
  while (modalPending() && GetTickCount() - start < timeoutMs) Sleep(kPollMs);
  return true;
}

bool ScriptRunner::post(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        std::string* seen) {
  if (PostMessageW(window, message, wParam, lParam)) return true;
  *seen = "cannot post to the window: " + utf8(win32ErrorText(GetLastError()));
  return false;
}

bool ScriptRunner::sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendMs, &result) != 0;
}

Front ScriptRunner::waitFront(bool wantMessageBox, DWORD timeoutMs, std::string* seen) {
  const DWORD start = GetTickCount();
  for (;;) {
    const Front front = findFront(setup_.sheet);
    if (wantMessageBox ? front.kind == FrontKind::MessageBox : front.kind != FrontKind::None) {
      return front;
    }
    if (GetTickCount() - start >= timeoutMs) {
      *seen = std::string(wantMessageBox ? "no message box: " : "nothing: ") + "in front is " +
              describeFront(front);
      return {};
    }
    Sleep(kPollMs);
  }
}

HWND ScriptRunner::waitControl(int id, bool enabled, DWORD timeoutMs, std::string* seen) {
  const DWORD start = GetTickCount();
  for (;;) {
    const Front front = findFront(setup_.sheet);
    HWND control = findControl(front, id);
    if (control != nullptr && (!enabled || IsWindowEnabled(control))) return control;
    if (GetTickCount() - start >= timeoutMs) {
      *seen = (control != nullptr ? "control " + std::to_string(id) + " is disabled in "
                                  : "no control " + std::to_string(id) + " in ") +
              describeFront(front);
      return nullptr;
    }
    Sleep(kPollMs);
  }
}

bool ScriptRunner::select(HWND control, const Step& step, DWORD timeoutMs, std::string* seen) {
  const std::string kind = className(control);
  const std::optional<int> rows = rowCount(control);
  if (!rows) {
    *seen = "control " + std::to_string(step.id) + " is a " + kind +
            ", not a list, combo box or list view";
    return false;
  }
  if (step.number >= *rows) {
    *seen = "no row " + std::to_string(step.number) + ": the control has " + std::to_string(*rows) +
            " rows";
    return false;
  }
  const WPARAM row = static_cast<WPARAM>(step.number);
  const LPARAM from = reinterpret_cast<LPARAM>(control);
  if (_stricmp(kind.c_str(), "ListBox") == 0) {
    sendBounded(control, LB_SETCURSEL, row, 0);
    if (!post(GetParent(control), WM_COMMAND, MAKEWPARAM(step.id, LBN_SELCHANGE), from, seen)) {
      return false;
    }
  } else if (_stricmp(kind.c_str(), "ComboBox") == 0) {
    sendBounded(control, CB_SETCURSEL, row, 0);
    if (!post(GetParent(control), WM_COMMAND, MAKEWPARAM(step.id, CBN_SELCHANGE), from, seen)) {
      return false;
    }
  } else {
    // The list view tells its parent itself (LVN_ITEMCHANGED), as for a user's click.
    LVITEMW& item = keptItems_.emplace_back();
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    sendBounded(control, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    sendBounded(control, LVM_ENSUREVISIBLE, row, FALSE);
  }
  return settle(timeoutMs, seen);
}

bool ScriptRunner::shot(const std::string& name, std::string* seen) {
  const Front front = findFront(setup_.sheet);
  RECT box{};
  if (front.top == nullptr || !GetWindowRect(front.top, &box)) {
    *seen = "no window in front to photograph";
    return false;
  }
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) {
    *seen = "the window in front has no size";
    return false;
  }
  // Painting waits until the sheet's thread has nothing else to do, so a shot right after a
  // step could find the window half drawn: every pending paint of the window and its children
  // is done first (sent to the sheet's thread, which answers before RedrawWindow returns).
  RedrawWindow(front.top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  // The screen's pixels under the window: the window as the display shows it.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint8_t> rgb;
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    GdiFlush();
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    rgb.resize(static_cast<std::size_t>(width) * height * 3);
    const auto* source = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* bgr = source + y * stride + x * 3;
        std::uint8_t* out = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
      }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const std::string png =
      encodePng(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), rgb);
  if (png.empty()) {
    *seen = "the screen could not be read";
    return false;
  }
  CreateDirectoryW(setup_.artifacts.c_str(), nullptr);  // it may exist already
  const std::wstring path = joinPath(setup_.artifacts, wideText(name) + L".png");
  bool written = false;
  DWORD code = 0;
  if (!writeFileIfDifferent(path, png, &written, &code)) {
    *seen = "cannot write " + utf8(path) + ": " + utf8(win32ErrorText(code));
    return false;
  }
  log_ += "shot " + utf8(path) + "\n";
  return true;
}

bool ScriptRunner::expect(const Step& step, std::string* seen) {
  const Front front = findFront(setup_.sheet);
  if (step.check == Check::Window) {
    const std::string caption = windowText(front.top).value_or("?");
    *seen = "in front is " + describeFront(front) +
            (front.kind == FrontKind::Page ? " of the sheet " + quotedText(caption) : "");
    return front.kind != FrontKind::None && sameText(caption, step.text);
  }
  if (step.check == Check::Message) {
    if (front.kind != FrontKind::MessageBox) {
      *seen = "no message box: in front is " + describeFront(front);
      return false;
    }
    const std::string text = windowText(GetDlgItem(front.window, 0xFFFF)).value_or("?");
    *seen = "the message box says " + quotedText(text);
    return sameText(text, step.text);
  }
  HWND control = findControl(front, step.id);
  const std::string name = "control " + std::to_string(step.id);
  if (step.check == Check::Exists) {
    *seen = control != nullptr ? name + " exists in " + describeFront(front)
                               : "no " + name + " in " + describeFront(front);
    return (control != nullptr) == (step.number != 0);
  }
  if (control == nullptr) {
    *seen = "no " + name + " in " + describeFront(front);
    return false;
  }
  switch (step.check) {
    case Check::Text: {
      const std::string text = windowText(control).value_or("?");
      *seen = "text " + quotedText(text);
      return sameText(text, step.text);
    }
    case Check::Enabled:
      *seen = name + (IsWindowEnabled(control) ? " is enabled" : " is disabled");
      return (IsWindowEnabled(control) != FALSE) == (step.number != 0);
    case Check::Visible:
      *seen = name + (IsWindowVisible(control) ? " is visible" : " is hidden");
      return (IsWindowVisible(control) != FALSE) == (step.number != 0);
    case Check::Focused: {
      // The focus of the thread that owns the control (the runner may not be that thread).
      GUITHREADINFO info{};
      info.cbSize = sizeof(info);
      const bool focused = GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) &&
                           info.hwndFocus == control;
      *seen = name + (focused ? " has the focus" : " does not have the focus");
      return focused == (step.number != 0);
    }
    case Check::Caret: {
      // An edit's caret: the selection is empty and starts there.
      DWORD start = 0, end = 0;
      SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
      *seen = name + " selects " + std::to_string(start) + " to " + std::to_string(end);
      return start == end && start == static_cast<DWORD>(step.number);
    }
    case Check::Checked: {
      const std::optional<int> state = checkState(control);
      if (!state) {
        *seen = name + " is not a check box or radio button";
        return false;
      }
      *seen = name + " has check state " + std::to_string(*state);
      return (*state == BST_CHECKED) == (step.number != 0);
    }
    case Check::Selected:
    case Check::Rows: {
      const std::optional<int> value =
          step.check == Check::Rows ? rowCount(control) : currentRow(control);
      if (!value) {
        *seen = name + " is a " + className(control) + ", not a list, combo box or list view";
        return false;
      }
      *seen = (step.check == Check::Rows ? "rows " : "selected row ") + std::to_string(*value);
      return *value == step.number;
    }
    case Check::Row: {
      const std::optional<std::string> text = rowText(control, static_cast<int>(step.number));
      if (!text) {
        *seen = "no row " + std::to_string(step.number) + " (rows " +
                std::to_string(rowCount(control).value_or(-1)) + ")";
        return false;
      }
      *seen = "row " + std::to_string(step.number) + " is " + quotedText(*text);
      return sameText(*text, step.text);
    }
    default:
      return false;
  }
}

bool ScriptRunner::execute(const Step& step, DWORD timeoutMs, std::string* seen) {
  switch (step.verb) {
    case Verb::Page: {
      const DWORD start = GetTickCount();
      while (findFront(setup_.sheet).kind != FrontKind::Page) {
        if (GetTickCount() - start >= timeoutMs) {
          *seen = "in front is " + describeFront(findFront(setup_.sheet));
          return false;
        }
        Sleep(kPollMs);
      }
      // Asked, not asserted: a page that refuses to be left keeps the sheet where it is.
      return post(setup_.sheet, PSM_SETCURSEL, static_cast<WPARAM>(step.number), 0, seen) &&
             settle(timeoutMs, seen);
    }
    case Verb::Click: {
      HWND control = waitControl(step.id, true, timeoutMs, seen);
      return control != nullptr && post(control, BM_CLICK, 0, 0, seen) && settle(timeoutMs, seen);
    }
    case Verb::Type: {
      HWND control = waitControl(step.id, true, timeoutMs, seen);
      if (control == nullptr) return false;
      for (wchar_t c : wideText(step.text)) {
        if (!post(control, WM_CHAR, c == L'\n' ? L'\r' : c, 1, seen)) return false;
      }
      return settle(timeoutMs, seen);
    }
    case Verb::SetText: {
      HWND control = waitControl(step.id, true, timeoutMs, seen);
      if (control == nullptr) return false;
      std::wstring text;
      for (wchar_t c : wideText(normaliseLineBreaks(step.text))) {
        if (c == L'\n') text += L'\r';
        text += c;
      }
      keptTexts_.push_back(std::move(text));
      sendBounded(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(keptTexts_.back().c_str()));
      return settle(timeoutMs, seen);
    }
    case Verb::Select: {
      HWND control = waitControl(step.id, true, timeoutMs, seen);
      return control != nullptr && select(control, step, timeoutMs, seen);
    }
    case Verb::Key: {
      HWND control = waitControl(step.id, true, timeoutMs, seen);
      const WPARAM key = static_cast<WPARAM>(step.number);
      return control != nullptr && post(control, WM_KEYDOWN, key, 1, seen) &&
             post(control, WM_KEYUP, key, 0xC0000001, seen) && settle(timeoutMs, seen);
    }
    case Verb::Drag:
    case Verb::Drop: {
      // As the scroll bar itself tells its parent about its thumb.
      HWND bar = waitControl(step.id, true, timeoutMs, seen);
      if (bar == nullptr) return false;
      const UINT message =
          (GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) != 0 ? WM_VSCROLL : WM_HSCROLL;
      const WORD position = static_cast<WORD>(static_cast<short>(step.number));
      const LPARAM from = reinterpret_cast<LPARAM>(bar);
      HWND parent = GetParent(bar);
      if (step.verb == Verb::Drag) {
        return post(parent, message, MAKEWPARAM(SB_THUMBTRACK, position), from, seen) &&
               settle(timeoutMs, seen);
      }
      return post(parent, message, MAKEWPARAM(SB_THUMBPOSITION, position), from, seen) &&
             post(parent, message, MAKEWPARAM(SB_ENDSCROLL, 0), from, seen) &&
             settle(timeoutMs, seen);
    }
    case Verb::Expect: {
      const DWORD start = GetTickCount();
      while (!expect(step, seen)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollMs);
      }
      return true;
    }
    case Verb::Answer: {
      const Front front = waitFront(true, timeoutMs, seen);
      if (front.kind != FrontKind::MessageBox) return false;
      const int id = step.text == "ok"       ? IDOK
                     : step.text == "cancel" ? IDCANCEL
                     : step.text == "yes"    ? IDYES
                                             : IDNO;
      HWND button = GetDlgItem(front.window, id);
      if (button == nullptr) {
        *seen = describeFront(front) + " has no " + step.text + " button";
        return false;
      }
      return post(button, BM_CLICK, 0, 0, seen) && settle(timeoutMs, seen);
    }
    case Verb::Ok:
    case Verb::Cancel: {
      const Front front = waitFront(false, timeoutMs, seen);
      const bool ok = step.verb == Verb::Ok;
      if (front.kind == FrontKind::None) return false;
      if (front.kind == FrontKind::Page) {
        return post(setup_.sheet, PSM_PRESSBUTTON, ok ? PSBTN_OK : PSBTN_CANCEL, 0, seen) &&
               settle(timeoutMs, seen);
      }
      const int id = ok ? IDOK : IDCANCEL;
      HWND button = GetDlgItem(front.window, id);
      if (button != nullptr && !IsWindowEnabled(button)) {
        *seen = std::string("the ") + (ok ? "OK" : "Cancel") + " button of " +
                describeFront(front) + " is disabled";
        return false;
      }
      return post(front.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                  reinterpret_cast<LPARAM>(button), seen) &&
             settle(timeoutMs, seen);
    }
    case Verb::Apply: {
      const DWORD start = GetTickCount();
      while (findFront(setup_.sheet).kind != FrontKind::Page) {
        if (GetTickCount() - start >= timeoutMs) {
          *seen = "the sheet is not in front: " + describeFront(findFront(setup_.sheet));
          return false;
        }
        Sleep(kPollMs);
      }
      return post(setup_.sheet, PSM_APPLY, 0, 0, seen) && settle(timeoutMs, seen);
    }
    case Verb::Shot:
      return settle(timeoutMs, seen) && shot(step.text, seen);
    case Verb::Controls:
      if (!settle(timeoutMs, seen)) return false;
      controls_ += dumpControls(findFront(setup_.sheet));
      return true;
    case Verb::Wait:
      return true;
  }
  return false;
}

// A dialog or message box left open is closed as a user would (Cancel, else No, else OK) and
// fails the run.
void ScriptRunner::closeWhatIsOpen() {
  for (int round = 0; round < 10; ++round) {
    const Front front = findFront(setup_.sheet);
    if (front.kind != FrontKind::MessageBox && front.kind != FrontKind::Dialog) return;
    const std::string what = describeFront(front);
    if (failure_.empty()) failure_ = "the script ended with " + what + " open";
    log_ += "closed " + what + "\n";
    HWND button = nullptr;
    for (int id : {IDCANCEL, IDNO, IDOK}) {
      if (button == nullptr) button = GetDlgItem(front.window, id);
    }
    std::string ignored;
    if (button != nullptr && round < 5) {
      post(button, BM_CLICK, 0, 0, &ignored);
    } else if (round < 5) {
      post(front.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, &ignored);
    } else {
      post(front.window, WM_CLOSE, 0, 0, &ignored);
    }
    settle(1000, &ignored);
    for (int k = 0; k < 50 && IsWindow(front.window) && IsWindowVisible(front.window); ++k) {
      Sleep(kPollMs);
    }
  }
  log_ += "a window in front could not be closed\n";
}

void ScriptRunner::run() {
  try {
    playSteps();
  } catch (const std::exception& error) {  // out of memory: the run fails, the sheet goes on
    failure_ = std::string("the script runner failed: ") + error.what();
  }
  try {
    std::string ignored;
    settle(kDefaultStepMs, &ignored);  // what the last step opened is up before it is looked at
    if (setup_.dumpControls) controls_ += dumpControls(findFront(setup_.sheet));
    closeWhatIsOpen();
  } catch (const std::exception& error) {
    if (failure_.empty()) failure_ = std::string("the script runner failed: ") + error.what();
  }
  SetEvent(done_);
}

void ScriptRunner::playSteps() {
  DWORD timeout = kDefaultStepMs;
  for (const Step& step : setup_.steps) {
    if (step.verb == Verb::Wait) {
      timeout = static_cast<DWORD>(step.number);
      log_ += "line " + std::to_string(step.line) + ": wait " + std::to_string(timeout) + "\n";
      continue;
    }
    std::string seen;
    const bool held = execute(step, timeout, &seen);
    timeout = kDefaultStepMs;
    if (!held) {
      failure_ =
          "script line " + std::to_string(step.line) + ": " + trimmed(step.source) + ": " + seen;
      log_ += failure_ + "\n";
      break;
    }
    log_ += "line " + std::to_string(step.line) + ": " + trimmed(step.source) + ": done\n";
  }
}

}  // namespace vex::uihost
