// The machine the platform contract tests run against: a fresh simulated
// machine on the host (contract_machine_sim.cpp), the real Windows API on
// Windows and under Wine (contract_machine_win32.cpp). The tests use
// nothing but platform.h and this header, so both implementations answer
// the very same questions.
#pragma once

#include <string>

#include "platform/platform.h"

// The machine under test, created on first use and installed as Sys().
qr5::platform::Machine& ContractMachine();

// The Windows path (no trailing backslash) of a new, empty, writable folder;
// every call gives another one.
std::string ContractScratchDir();

// Runs this test program once more as a separate process, with only the
// test `test_name` ("Suite.Name") selected, on the same machine, and with
// `argument` readable there through ContractChildArgument(). Returns the
// child's exit code, or -1 when it could not be run.
int ContractRunChild(const std::string& test_name, const std::string& argument);

// The argument given to this process by ContractRunChild; "" in a process
// that is not such a child.
std::string ContractChildArgument();
