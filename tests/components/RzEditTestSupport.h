#pragma once
// The framed edits' tests: a fixture with a fresh window system and application, a host that
// counts beeps, fixed number separators, and input as the host reports it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Forms.h"
#include "HostWindows.h"
#include "InputSupport.h"
#include "Locale.h"
#include "PixelPicture.h"
#include "RzEdit.h"
#include "Themes.h"
#include "User.h"
#include "UserDriver.h"

// Hands everything to the host underneath and counts the beeps on the way.
class BeepCountingHost : public HostWindowDriver {
 public:
  explicit BeepCountingHost(HostWindowDriver* inner) : inner_(inner) {}
  void SetEventSink(HostEventSink sink) override { inner_->SetEventSink(std::move(sink)); }
  bool CreateSurface(HostSurfaceId id, const HostSurfaceParams& p) override {
    return inner_->CreateSurface(id, p);
  }
  void DestroySurface(HostSurfaceId id) override { inner_->DestroySurface(id); }
  void ShowSurface(HostSurfaceId id, bool show, bool activate) override {
    inner_->ShowSurface(id, show, activate);
  }
  void MoveSurface(HostSurfaceId id, const RECT& r) override { inner_->MoveSurface(id, r); }
  void SetSurfaceTitle(HostSurfaceId id, const std::u16string& t) override {
    inner_->SetSurfaceTitle(id, t);
  }
  void ActivateSurface(HostSurfaceId id) override { inner_->ActivateSurface(id); }
  void FlushSurface(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                    int stride, const RECT& dirty) override {
    inner_->FlushSurface(id, pixels, width, height, stride, dirty);
  }
  bool BeginSystemMove(HostSurfaceId id, unsigned edges) override {
    return inner_->BeginSystemMove(id, edges);
  }
  void ProcessEvents(int timeoutMs) override { inner_->ProcessEvents(timeoutMs); }
  void SetCapture(HostSurfaceId id) override { inner_->SetCapture(id); }
  POINT GetCursorPos() override { return inner_->GetCursorPos(); }
  void SetCursorPos(POINT p) override { inner_->SetCursorPos(p); }
  void SetCursor(HostCursor c) override { inner_->SetCursor(c); }
  std::vector<HostScreen> GetScreens() override { return inner_->GetScreens(); }
  bool GetClipboardText(std::u16string* t) override { return inner_->GetClipboardText(t); }
  bool SetClipboardText(const std::u16string& t) override { return inner_->SetClipboardText(t); }
  void Beep() override { ++beeps; }

  int beeps = 0;

 private:
  HostWindowDriver* inner_;
};

class RzEditTest : public ::testing::Test, public HostInput {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A bare, shown form of 300 x 200 client pixels to put controls on.
  TForm* BareForm();
  // Puts a control of class T on the form at (left, top), shown and painted.
  template <class T>
  T* Place(TForm* form, int left, int top, int width = 120) {
    auto* control = new T(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, control->Height());
    form->Update();
    return control;
  }

  BeepCountingHost* host() { return host_.get(); }

 private:
  HostWindowDriver* inner_ = nullptr;
  std::unique_ptr<BeepCountingHost> host_;
  TFormatSettings savedSettings_;
  bool savedThemes_ = true;
};
