#pragma once
// The class library's exception hierarchy; failures travel as these.
#include <exception>
#include <string>

#include "Strings.h"

class Exception : public std::exception {
 public:
  explicit Exception(String message);
  explicit Exception(const char* utf8) : Exception(FromUtf8(utf8)) {}
  const String& Message() const noexcept { return message_; }
  void SetMessage(String message);
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  String message_;
  std::string utf8_;
};

#define KORV_EXCEPTION(Name, Base) \
  class Name : public Base {       \
   public:                         \
    using Base::Base;              \
  }

// Silent: the application's handler shows nothing for it.
KORV_EXCEPTION(EAbort, Exception);
KORV_EXCEPTION(EConvertError, Exception);
KORV_EXCEPTION(EAssignError, EConvertError);
KORV_EXCEPTION(EMathError, Exception);
KORV_EXCEPTION(EInvalidOp, EMathError);
KORV_EXCEPTION(EZeroDivide, EMathError);
KORV_EXCEPTION(EOverflow, EMathError);
KORV_EXCEPTION(EUnderflow, EMathError);
KORV_EXCEPTION(EIntError, Exception);
KORV_EXCEPTION(EIntOverflow, EIntError);
KORV_EXCEPTION(EDivByZero, EIntError);
KORV_EXCEPTION(ERangeError, EIntError);
KORV_EXCEPTION(EInvalidOperation, Exception);
KORV_EXCEPTION(EInvalidCast, Exception);
KORV_EXCEPTION(EInvalidPointer, Exception);
KORV_EXCEPTION(EOutOfMemory, Exception);
KORV_EXCEPTION(EListError, Exception);
KORV_EXCEPTION(EStringListError, EListError);
KORV_EXCEPTION(EInOutError, Exception);
KORV_EXCEPTION(EStreamError, Exception);
KORV_EXCEPTION(EFCreateError, EStreamError);
KORV_EXCEPTION(EFOpenError, EStreamError);
KORV_EXCEPTION(EReadError, EStreamError);
KORV_EXCEPTION(EWriteError, EStreamError);
KORV_EXCEPTION(EIniFileException, Exception);
KORV_EXCEPTION(ERegistryException, Exception);
// Raised by a masked edit whose text does not fit its mask.
KORV_EXCEPTION(EDBEditError, Exception);
KORV_EXCEPTION(EPrinter, Exception);
KORV_EXCEPTION(EOSError, Exception);

// Raises EAbort.
[[noreturn]] void Abort();
