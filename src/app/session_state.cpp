#include "app/session_state.h"

namespace qr5::app {

SessionState& Session() {
  static SessionState state;
  return state;
}

}  // namespace qr5::app
