// A receiver of encrypted secure jobs for the tests: finds the resource-write frames of a job
// file and decrypts them with the password, as the printer does.
#pragma once

#include <string>

namespace vex::test {

struct DecryptedJob {
  bool ok = false;
  std::string error;      // why it could not be read
  std::string outside;    // every byte of the job outside the frames' payloads
  std::string plaintext;  // the document, decrypted
};

DecryptedJob decryptSecureJob(const std::string& job, const std::string& password);

}  // namespace vex::test
