#pragma once
// What the control, form and application sources share and nobody else needs.
#include <functional>

#include "Controls.h"

namespace korv_controls {

// The windowless or windowed control holding the mouse capture (nullptr: none of ours).
extern TControl* gCaptureControl;
// The control the pointer was last seen over (enter / leave bookkeeping).
extern TControl* gMouseControl;
// The control whose window is being created (its procedure attaches on the first message).
extern TWinControl* gCreationControl;
// Set while CreateParams runs only to measure the frame: no window may be created.
extern bool gMeasuringParams;

// Moves the enter / leave bookkeeping to control (nullptr: the pointer is over none of ours).
void SetMouseControl(TControl* control);
// Told when a control goes, so the application forgets it (hint control, focus notes).
extern void (*gControlDestroyedHook)(TControl* control);
// Hands an exception caught in a window procedure to the application.
extern void (*gHandleExceptionHook)(TObject* sender);
// Mouse messages pass through the application's hint logic.
extern void (*gHintMouseHook)(TControl* control, TMessage& message);

// Runs paint with canvas drawing on dc, and leaves the canvas without a handle however it ends.
void PaintOnCanvas(TControlCanvas* canvas, HDC dc, const std::function<void()>& paint);

}  // namespace korv_controls
