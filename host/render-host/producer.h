// The producer side of the application-name channel for the job being printed: published here
// (as the UI plug-in's document event would), or by another program started for the job.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app_name_producer.h"
#include "job_file.h"

namespace vex::host {

class JobProducer {
 public:
  // Publishes or starts what the job's [Document] section asks for; throws HostFailure when it
  // cannot.
  JobProducer(const JobDescription& job, DWORD jobId);
  ~JobProducer();  // ends a started program
  JobProducer(const JobProducer&) = delete;
  JobProducer& operator=(const JobProducer&) = delete;

  // The name of the event a started producer sets when its objects are in place.
  static std::wstring readyEventName(DWORD jobId);

 private:
  std::unique_ptr<ApplicationNameProducer> local_;
  HANDLE process_ = nullptr;
};

}  // namespace vex::host
