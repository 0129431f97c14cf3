#pragma once
// Reading procedures that swallow stored properties the controls no longer publish, so that
// descriptions written by earlier versions of the library still load. A control registers
// each obsolete name in its DefineProperties with the procedure for the kind of value the name
// used to hold, no writer and HasData false, so the name is never written again:
//
//   filer->DefineProperty(u"ThemeAware", TRzOldPropReader::ReadOldBooleanProp, nullptr, false);
#include <functional>

#include "Classes.h"
#include "RzCommon.h"
#include "Streaming.h"

class TRzOldPropReader : public TObject {
 public:
  TRzOldPropReader() = delete;

  static void ReadOldBooleanProp(TReader* reader);
  static void ReadOldEnumProp(TReader* reader);
  static void ReadOldIdentProp(TReader* reader);
  static void ReadOldIntegerProp(TReader* reader);
  // The set's start, then its element names up to the empty one that ends it.
  static void ReadOldSetProp(TReader* reader);
  static void ReadOldStringProp(TReader* reader);
  static void WriteOldProp(TWriter* writer);

  // The frame names of earlier versions, on a framed control and on the frame controller alike:
  // FrameFlat turns hot tracking on or off, and on, gives the status look with a lowered hot
  // look; FrameFocusStyle names the hot look; FrameFlatStyle is dropped.
  static void DefineOldFrameProps(TFiler* filer, std::function<void(bool)> setHotTrack,
                                  TFrameStyle& frameStyle, TFrameStyle& frameHotStyle);
};
