#pragma once
// The host's application object. Qt needs one before fonts, screens or windows can be used;
// every host service calls this first, and it creates a QApplication when none exists yet (the
// offscreen platform when QT_QPA_PLATFORM is unset and there is no display), named and given
// the icon the program set beforehand (ProgramIdentity.h).
void HostEnsureApplication();
