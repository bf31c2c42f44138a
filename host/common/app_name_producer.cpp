#include "app_name_producer.h"

#include <cstring>

#include "app_channel.h"

namespace vex {

ApplicationNameProducer::~ApplicationNameProducer() {
  if (section_ != nullptr) CloseHandle(section_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

std::string ApplicationNameProducer::sectionBytes(const std::wstring& applicationName) {
  std::wstring name = applicationName.substr(0, kAppNameChars - 1);
  std::string bytes(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * 2);
  return bytes;
}

bool ApplicationNameProducer::publish(const std::wstring& printerName,
                                      const std::wstring& shareName, bool shared, DWORD jobId,
                                      const std::string& bytes, bool release,
                                      std::wstring* error) {
  const std::u16string base = channelBaseName(std::u16string(printerName.begin(), printerName.end()),
                                              std::u16string(shareName.begin(), shareName.end()),
                                              shared);
  const std::u16string mutexText = mutexName(base, jobId);
  const std::u16string sectionText = sectionName(base, jobId);
  const std::wstring mutex(mutexText.begin(), mutexText.end());
  const std::wstring section(sectionText.begin(), sectionText.end());
  mutex_ = CreateMutexW(nullptr, TRUE, mutex.c_str());
  if (mutex_ == nullptr) {
    if (error) *error = L"CreateMutexW " + mutex + L" failed, error " + std::to_wstring(GetLastError());
    return false;
  }
  section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                static_cast<DWORD>(kAppNameBytes), section.c_str());
  if (section_ == nullptr) {
    if (error) *error = L"CreateFileMappingW " + section + L" failed, error " + std::to_wstring(GetLastError());
    return false;
  }
  void* view = MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (view == nullptr) {
    if (error) *error = L"MapViewOfFile failed, error " + std::to_wstring(GetLastError());
    return false;
  }
  std::memcpy(view, bytes.data(), bytes.size() < kAppNameBytes ? bytes.size() : kAppNameBytes);
  UnmapViewOfFile(view);
  if (release) ReleaseMutex(mutex_);
  return true;
}

}  // namespace vex
