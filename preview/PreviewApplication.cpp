#include "KorPrev.h"
#include "Printers.h"

namespace {

// The program's main window comes later; a bare form takes its place so the preview is a
// secondary window, as in the program.
class TPreviewHostForm : public TForm {
 public:
  explicit TPreviewHostForm(TComponent* owner) : TForm(owner) { SetReadsDescription(false); }
  String ClassName() const override { return u"TPreviewHostForm"; }
};

TPreviewHostForm* HostForm = nullptr;

}  // namespace

void CreatePreviewApplication() {
  if (PreviewForm) return;
  RegisterClassLibrary();
  RegisterPreviewClasses();
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->CreateForm(HostForm);
  Application->CreateForm(PreviewForm);
}

void ResetPreviewForTesting() {
  if (Printer()->Printing()) Printer()->Abort();
  ResetApplicationForTesting();
  PreviewForm = nullptr;
  HostForm = nullptr;
  Pages.clear();
  CurrentPage = 0;
  PageCount = 0;
  DisplayedPage = 0;
}
