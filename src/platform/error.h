// The programs' one exception type: a message, caught as std::exception.
//
// Not std::runtime_error: the standard error classes keep their message in
// the old reference-counted string, and in the static Windows runtime the
// first of them a program constructs links that whole string class with its
// unwind tables (about 45 KB of the shipped setup). The message is shared, so
// copying an Error never allocates or throws, as the standard requires of
// the exceptions it copies.
#pragma once

#include <exception>
#include <memory>
#include <string>

namespace qr5 {

class Error : public std::exception {
 public:
  explicit Error(const std::string& message)
      : message_(std::make_shared<const std::string>(message)) {}
  explicit Error(const char* message) : Error(std::string(message)) {}
  const char* what() const noexcept override { return message_->c_str(); }

 private:
  std::shared_ptr<const std::string> message_;
};

}  // namespace qr5
