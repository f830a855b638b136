// A fault plan over a machine: the services of another machine, passed
// through, with every mutating operation counted and the k-th one failed
// with a chosen Windows error. Tests run a program once to count its
// operations, then once for each k, to prove that no write's result is
// ignored.
//
// Counted: opening a file to create or write it, each write, move, copy and
// delete of a file, creating and removing a folder, setting attributes,
// creating a registry key or opening one for writing, setting and deleting a
// value or key, saving a shortcut, writing a profile string and a deletion
// kept for the next start of Windows. Reads, searches and queries are not.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace qr5::platform::sim {

class FaultPlan {
 public:
  // inner must outlive the plan.
  explicit FaultPlan(Machine& inner);
  ~FaultPlan();
  FaultPlan(const FaultPlan&) = delete;
  FaultPlan& operator=(const FaultPlan&) = delete;

  // The services to install (platform::Install) in place of inner's.
  Machine& machine();

  // Operation k (counted from 1) fails with error; 0 fails none. The count
  // starts again.
  void FailAt(int64_t k, uint32_t error);
  // Mutating operations seen since the last FailAt (or the start).
  int64_t operations() const;
  // Whether the planned operation was reached and failed, and what it was
  // ("MoveFile C:\QR5\~QR0.TMP -> C:\QR5\QR5.EXE").
  bool failed() const;
  const std::string& failed_operation() const;

  // Shared by the wrapped services: counts one operation and says whether
  // it is the one to fail (its error is then the last error).
  bool Fails(const std::string& what);
  // The injected error while it is the last error of the file services.
  bool injected() const;
  uint32_t error() const;
  void ClearInjected();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  int64_t fail_at_ = 0;
  uint32_t error_ = 0;
  int64_t count_ = 0;
  bool injected_ = false;
  bool failed_ = false;
  std::string failed_operation_;
};

}  // namespace qr5::platform::sim
