#pragma once
// The host's application object. Qt needs one before fonts, screens or windows can be used;
// every host service calls this first, and it creates a QApplication when none exists yet (the
// offscreen platform when QT_QPA_PLATFORM is unset and there is no display), named and given
// the icon the program set beforehand (ProgramIdentity.h).
#include <functional>

void HostEnsureApplication();

// Runs handler once when the connection to the display is lost for good (the X server went
// away), from inside the host's event processing; the host cannot go on from there, so the
// process then ends with status 1. handler must not use any window.
void HostSetDisplayLostHandler(std::function<void()> handler);
// Before the application object: on X, where neither Xft.dpi nor the user's QT_* settings give
// the desktop's scale, the screen's resolution does (HostScaleForResolution of its dpi).
void HostFollowDesktopResolution();
// 96 dpi and below is 1; above, the nearest quarter step (ties to the smaller): 144 dpi is 1.5.
double HostScaleForResolution(double dpi);
