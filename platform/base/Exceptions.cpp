#include "Exceptions.h"

Exception::Exception(String message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

void Exception::SetMessage(String message) {
  message_ = std::move(message);
  utf8_ = ToUtf8(message_);
}

void Abort() { throw EAbort(S("Operation aborted")); }
