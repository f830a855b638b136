#include "platform/platform.h"

#include <cstdlib>

namespace qr5::platform {

namespace {
Machine* g_machine = nullptr;
}

Machine& Sys() {
  if (g_machine == nullptr) std::abort();
  return *g_machine;
}

void Install(Machine* machine) { g_machine = machine; }

}  // namespace qr5::platform
