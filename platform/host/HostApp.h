#pragma once
// The host's application object. Qt needs one before fonts, screens or windows can be used;
// every host service calls this first, and it creates a QApplication when none exists yet (the
// offscreen platform when QT_QPA_PLATFORM is unset and there is no display), named and given
// the icon the program set beforehand (ProgramIdentity.h).
void HostEnsureApplication();
// Before the application object: on X, where neither Xft.dpi nor the user's QT_* settings give
// the desktop's scale, the screen's resolution does (HostScaleForResolution of its dpi).
void HostFollowDesktopResolution();
// 96 dpi and below is 1; above, the nearest quarter step (ties to the smaller): 144 dpi is 1.5.
double HostScaleForResolution(double dpi);
