#include "RzEditTestSupport.h"

void RzEditTest::SetUp() {
  UserResetForTesting();
  inner_ = UserGetHostDriver();
  host_ = std::make_unique<BeepCountingHost>(inner_);
  UserSetHostDriver(host_.get());
  RegisterClassLibrary();
  RegisterRzEditClasses();
  savedSettings_ = FormatSettings;
  FormatSettings.DecimalSeparator = u'.';
  FormatSettings.ThousandSeparator = u',';
  savedThemes_ = ThemeServices()->ThemesEnabled();
}

void RzEditTest::TearDown() {
  ResetApplicationForTesting();
  UserResetForTesting();
  UserSetHostDriver(inner_);
  FormatSettings = savedSettings_;
  SetThemesEnabledForTesting(savedThemes_);
}

TForm* RzEditTest::BareForm() { return ShownBareForm(10, 10, 320, 240); }
