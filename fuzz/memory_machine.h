// An in-memory platform Machine for fuzzing: one archive file to read, and
// output files that count their bytes but keep none, so extraction runs at
// full speed and in bounded memory whatever sizes an input declares.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/platform.h"

namespace qr5::fuzz {

class MemoryMachine {
 public:
  MemoryMachine();
  ~MemoryMachine();
  platform::Machine& machine() { return machine_; }
  // Puts a readable file (the archive) at path; everything else starts
  // empty.
  void SetFile(const std::string& path, const std::string& bytes);
  // Output bytes written since the last SetFile.
  uint64_t BytesWritten() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  platform::Machine machine_;
};

}  // namespace qr5::fuzz
