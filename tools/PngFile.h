#pragma once
// Saves a bitmap as a PNG file so a person can look at what the code drew.
#include <string>

#include "Graphics.h"

// Each pixel becomes a scale x scale block; returns false when the file cannot be written.
bool SaveBitmapPng(TBitmap* bitmap, const std::string& path, int scale = 1);
