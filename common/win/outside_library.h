// An outside library loaded for one operation (or one job) and freed when the owner goes.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace vex {

class OutsideLibrary {
 public:
  OutsideLibrary() = default;
  explicit OutsideLibrary(const std::wstring& path)
      : module_(path.empty() ? nullptr : LoadLibraryW(path.c_str())) {}
  ~OutsideLibrary() { reset(); }
  OutsideLibrary(OutsideLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  OutsideLibrary& operator=(OutsideLibrary&& other) noexcept {
    if (this != &other) {
      reset();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  OutsideLibrary(const OutsideLibrary&) = delete;
  OutsideLibrary& operator=(const OutsideLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }
  HMODULE handle() const { return module_; }

  // The export `name` as a function pointer of type F, or null.
  template <typename F>
  F entry(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  void reset() {
    if (module_ != nullptr) FreeLibrary(std::exchange(module_, nullptr));
  }

 private:
  HMODULE module_ = nullptr;
};

// Loads the library named by a model-section key of the printer's configuration ("CryptoDll",
// "CARD_DLL", ...) from the driver's "3" folder; an empty or unusable value loads nothing.
OutsideLibrary loadConfiguredLibrary(HANDLE printer, const wchar_t* key);

}  // namespace vex
