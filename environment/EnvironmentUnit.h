#pragma once
// Where the program runs and where its data lives, resolved once at start-up.
#include "Strings.h"
#include "WinTypes.h"

struct TEnvironment {
  String ExePath;  // ends in "\"; non-empty once filled
  String ExeFile;
  String ExeDate;            // "yyyymmdd:hhmm", empty when the file is not found
  String CommonAppDataPath;  // each folder ends in "\" unless empty
  String UserAppDataPath;
  String EXCELPath;
  String MyDocuments;
  String ComputerName;
  String Compiler;           // five-character build-tool tag
  std::uint32_t Handle = 0;  // owner window of the shell folder look-ups
};

extern TEnvironment Environment;

// Fills Environment on the first call; later calls return at once.
void InitEnvironment(std::uint32_t handle);
// The unit's start-up step, run by the program's start-up sequence with the application window.
void EnvironmentUnitInitialization(std::uint32_t applicationHandle);

String JoinPath(const String& base, const String& relative);
String FindSpreadsheetProgram();

// Empties the record again so tests can fill it under other conditions.
void ResetEnvironmentForTesting();
