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
