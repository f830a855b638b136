#include "session/message_box_sink.h"

#include "forms/application.h"
#include "platform/platform.h"
#include "session/run_log.h"

namespace qr5::session {

namespace {

constexpr unsigned kDefaultButton2 = 0x100;  // MB_DEFBUTTON2

}  // namespace

int DefaultAnswer(unsigned flags) {
  const bool second = (flags & 0xF00) == kDefaultButton2;
  switch (flags & 0x0F) {
    case platform::MB_OKCANCEL:
      return second ? platform::IDCANCEL : platform::IDOK;
    case platform::MB_YESNO:
      return second ? platform::IDNO : platform::IDYES;
    default:
      return platform::IDOK;
  }
}

void InstallMessageBoxSink(const CommandLine& command) {
  const bool answer_themselves = command.BoxesAnswerThemselves();
  if (!answer_themselves && !command.log) return;
  forms::App().message_box_sink = [answer_themselves](const std::string& text, const std::string& caption,
                                                      unsigned flags, int* answer) {
    Log().Line("Message [" + caption + "]: " + text);
    if (!answer_themselves) return false;
    *answer = DefaultAnswer(flags);
    return true;
  };
}

}  // namespace qr5::session
