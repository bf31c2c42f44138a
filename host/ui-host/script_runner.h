// Plays a dialog script against the sheet from a second thread while the sheet's thread runs
// the message loop: every step posts (or sends with a bound) what a user's action would cause,
// then waits, bounded, for the state it needs. The runner never blocks inside the sheet's or a
// dialog's message loop.
#pragma once

#include <windows.h>
// The list-view types need the platform's first.
#include <commctrl.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "dialog_script.h"
#include "window_inspect.h"

namespace vex::uihost {

struct RunnerSetup {
  std::vector<Step> steps;
  HWND sheet = nullptr;
  std::wstring artifacts;     // folder of the screenshots
  bool dumpControls = false;  // --dump-controls: the window in front at the end (and `controls`)
};

class ScriptRunner {
 public:
  // Made on the sheet's thread: the marker window that tells the runner when the sheet's thread
  // has taken everything posted before it belongs to that thread.
  explicit ScriptRunner(RunnerSetup setup);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  void start();
  // Signalled when the script has ended (and what it left open is closed).
  HANDLE done() const { return done_; }
  void join();

  bool failed() const { return !failure_.empty(); }
  const std::string& failure() const { return failure_; }  // "script line N: STEP: seen ..."
  const std::string& log() const { return log_; }
  const std::string& controls() const { return controls_; }

 private:
  void run();
  void playSteps();
  bool execute(const Step& step, DWORD timeoutMs, std::string* seen);
  bool expect(const Step& step, std::string* seen);
  HWND waitControl(int id, bool enabled, DWORD timeoutMs, std::string* seen);
  Front waitFront(bool wantMessageBox, DWORD timeoutMs, std::string* seen);
  bool settle(DWORD timeoutMs, std::string* seen);
  bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::string* seen);
  bool sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool select(HWND control, const Step& step, DWORD timeoutMs, std::string* seen);
  bool shot(const std::string& name, std::string* seen);
  void closeWhatIsOpen();
  static LRESULT CALLBACK markerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  RunnerSetup setup_;
  HWND marker_ = nullptr;
  HANDLE markerEvent_ = nullptr;
  HANDLE done_ = nullptr;
  std::atomic<long> markerSeen_{0};
  long markerPosted_ = 0;
  std::thread thread_;
  std::deque<std::wstring> keptTexts_;  // texts sent to the sheet live as long as the runner
  std::deque<LVITEMW> keptItems_;
  std::string failure_;
  std::string log_;
  std::string controls_;
};

}  // namespace vex::uihost
