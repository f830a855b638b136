#include "session/session_state.h"

namespace qr5::session {

SessionState& Session() {
  static SessionState state;
  return state;
}

}  // namespace qr5::session
