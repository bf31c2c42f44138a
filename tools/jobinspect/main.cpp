// jobinspect: reads a job file as a printer would receive it.
//   jobinspect JOB [--password PW | --card FILE] [--plaintext OUT] [--payload OUT]
// Lists the PJL lines (for a secure job: its cleartext header) and the resource-write frames,
// checks their syntax and sizes; with a password or card decrypts and verifies the stream and
// writes the plaintext; for a plain job writes the PostScript payload. Exit codes: 0 fine,
// 1 a malformed or unverifiable job, 2 a bad command line or unreadable file.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "job_file.h"
#include "secure_stream.h"

namespace {

int usage(const char* message) {
  std::cerr << "jobinspect: " << message << "\n"
            << "usage: jobinspect JOB [--password PW | --card FILE] [--plaintext OUT] "
               "[--payload OUT]\n";
  return 2;
}

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return s.str();
}

bool writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string printable(std::string_view line) {
  std::string s;
  for (unsigned char c : line) {
    if (c >= 0x20 && c < 0x7F) {
      s += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      s += hex;
    }
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::string jobPath, plaintextPath, payloadPath;
  std::optional<std::string> password, cardPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--password") {
      if (!value(v)) return usage("--password needs a value");
      password = v;
    } else if (arg == "--card") {
      if (!value(v)) return usage("--card needs a file");
      cardPath = v;
    } else if (arg == "--plaintext") {
      if (!value(plaintextPath)) return usage("--plaintext needs a file");
    } else if (arg == "--payload") {
      if (!value(payloadPath)) return usage("--payload needs a file");
    } else if (!arg.empty() && arg[0] == '-') {
      return usage(("unknown option " + arg).c_str());
    } else if (jobPath.empty()) {
      jobPath = arg;
    } else {
      return usage("more than one job file");
    }
  }
  if (jobPath.empty()) return usage("no job file");
  if (password && cardPath) return usage("--password and --card exclude each other");
  if (!plaintextPath.empty() && !password && !cardPath) {
    return usage("--plaintext needs --password or --card");
  }

  const auto bytes = readFile(jobPath);
  if (!bytes) {
    std::cerr << "jobinspect: cannot read " << jobPath << "\n";
    return 2;
  }
  std::string secret;
  if (password) secret = *password;
  if (cardPath) {
    const auto card = readFile(*cardPath);
    if (!card) {
      std::cerr << "jobinspect: cannot read card file " << *cardPath << "\n";
      return 2;
    }
    secret = *card;
  }

  jobinspect::JobFile job;
  std::string error;
  const bool parsed = jobinspect::parseJobFile(*bytes, job, error);
  for (const std::string& line : job.pjlLines) std::cout << "pjl " << printable(line) << "\n";
  for (const auto& frame : job.frames) {
    std::cout << "frame " << frame.location << " SIZE=" << frame.payload.size() << " at byte "
              << frame.offset << "\n";
  }
  if (!parsed) {
    std::cerr << "jobinspect: " << jobPath << ": " << error << "\n";
    return 1;
  }
  if (job.secure) {
    jobinspect::StreamHeader header;
    if (!jobinspect::parseStreamHeader(job.frames.front().payload, header, error)) {
      std::cerr << "jobinspect: " << jobPath << ": " << error << "\n";
      return 1;
    }
    std::cout << "secure job: " << (header.keySource == 2 ? "IC card" : "password")
              << " key, settings " << header.settingA << "/" << header.settingB << ", "
              << header.iterations << " PBKDF2 iterations, " << job.frames.size() << " frames\n";
    if (password || cardPath) {
      std::string plain;
      if (!jobinspect::decryptStream(job, secret, plain, error)) {
        std::cerr << "jobinspect: " << jobPath << ": " << error << "\n";
        return 1;
      }
      std::cout << "decrypted and verified: " << plain.size() << " bytes\n";
      if (!plaintextPath.empty() && !writeFile(plaintextPath, plain)) {
        std::cerr << "jobinspect: cannot write " << plaintextPath << "\n";
        return 2;
      }
    }
    if (!payloadPath.empty()) {
      std::cerr << "jobinspect: --payload: the job is encrypted\n";
      return 1;
    }
  } else {
    std::cout << "plain job: " << job.payload.size() << " bytes of PostScript\n";
    if (password || cardPath) {
      std::cerr << "jobinspect: " << jobPath << ": not a secure job, nothing to decrypt\n";
      return 1;
    }
    if (!payloadPath.empty() && !writeFile(payloadPath, job.payload)) {
      std::cerr << "jobinspect: cannot write " << payloadPath << "\n";
      return 2;
    }
  }
  return 0;
}
