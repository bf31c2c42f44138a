// The structure of a job file as a printer receives it: PJL lines, the cleartext header of a
// secure job, its resource-write frames, or the PostScript payload of a plain job.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jobinspect {

struct Frame {
  std::string location;    // "write_start", "write" or "write_end"
  std::size_t offset = 0;  // of the frame's head line in the file
  std::string_view payload;
};

struct JobFile {
  std::vector<std::string> pjlLines;  // before the frames (or the whole PJL of a plain job)
  std::vector<Frame> frames;
  bool secure = false;        // the job consists of resource-write frames
  bool endOfJobLine = false;  // the secure job's closing EOJ line was found
  std::string_view payload;   // plain job: the PostScript between the language switch and trailer
};

// Parses the whole file. False with a message in `error` for anything malformed: a frame head
// that is not exactly as written by the plug-in, a size beyond the file, a frame without its
// exit sequence, frames out of order, bytes after the end of the job, a stream that stops before
// its end frame.
bool parseJobFile(std::string_view bytes, JobFile& job, std::string& error);

}  // namespace jobinspect
