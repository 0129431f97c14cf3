#include "RzOldPropReader.h"

void TRzOldPropReader::ReadOldBooleanProp(TReader* reader) { reader->ReadBoolean(); }

void TRzOldPropReader::ReadOldEnumProp(TReader* reader) { reader->ReadIdent(); }

void TRzOldPropReader::ReadOldIdentProp(TReader* reader) { reader->ReadIdent(); }

void TRzOldPropReader::ReadOldIntegerProp(TReader* reader) { reader->ReadInteger(); }

void TRzOldPropReader::ReadOldSetProp(TReader* reader) {
  reader->ReadValue();
  while (!reader->ReadStr().empty()) {
  }
}

void TRzOldPropReader::ReadOldStringProp(TReader* reader) { reader->ReadString(); }

void TRzOldPropReader::WriteOldProp(TWriter*) {}

void TRzOldPropReader::DefineOldFrameProps(TFiler* filer, std::function<void(bool)> setHotTrack,
                                           TFrameStyle& frameStyle, TFrameStyle& frameHotStyle) {
  filer->DefineProperty(
      u"FrameFlat",
      [setHotTrack = std::move(setHotTrack), &frameStyle, &frameHotStyle](TReader* reader) {
        const bool flat = reader->ReadBoolean();
        setHotTrack(flat);
        if (flat) {
          frameStyle = fsStatus;
          frameHotStyle = fsLowered;
        }
      },
      nullptr, false);
  filer->DefineProperty(
      u"FrameFocusStyle",
      [&frameHotStyle](TReader* reader) {
        // A name this version does not know keeps the current style.
        const int style = GetEnumValue(TypeInfoTFrameStyle(), reader->ReadIdent());
        if (style >= TFrameStyleLow && style <= TFrameStyleHigh)
          frameHotStyle = static_cast<TFrameStyle>(style);
      },
      nullptr, false);
  filer->DefineProperty(u"FrameFlatStyle", ReadOldEnumProp, nullptr, false);
}
