// The Qt host of top-level windows: a QWindow per surface showing the pixels the window system
// flushes, framed by the desktop when decorated; Qt input and window-manager changes turned into
// host events; screens, clipboard, cursor and beep.
#include "HostWindows.h"

#include <unistd.h>

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "HostApp.h"

namespace {

// The platform's virtual-key codes the host reports (the window system declares them too).
constexpr int kVkBack = 0x08, kVkTab = 0x09, kVkClear = 0x0C, kVkReturn = 0x0D, kVkShift = 0x10,
              kVkControl = 0x11, kVkMenu = 0x12, kVkPause = 0x13, kVkCapital = 0x14,
              kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23,
              kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28,
              kVkSnapshot = 0x2C, kVkInsert = 0x2D, kVkDelete = 0x2E, kVkHelp = 0x2F,
              kVkLWin = 0x5B, kVkApps = 0x5D, kVkNumpad0 = 0x60, kVkMultiply = 0x6A, kVkAdd = 0x6B,
              kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F, kVkF1 = 0x70,
              kVkNumLock = 0x90, kVkScroll = 0x91, kVkRMenu = 0xA5, kVkOem1 = 0xBA,
              kVkOemPlus = 0xBB, kVkOemComma = 0xBC, kVkOemMinus = 0xBD, kVkOemPeriod = 0xBE,
              kVkOem2 = 0xBF, kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC, kVkOem6 = 0xDD,
              kVkOem7 = 0xDE, kVkPacket = 0xE7;

// Qt's key as the platform's virtual key on a US keyboard; extended marks the keys of the
// separate navigation block and the keypad's Enter and "/".
int VirtualKey(int key, Qt::KeyboardModifiers mods, bool* extended) {
  bool pad = mods & Qt::KeypadModifier;
  *extended = false;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return pad ? kVkNumpad0 + (key - Qt::Key_0) : key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return kVkF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kVkTab;
    case Qt::Key_Backspace: return kVkBack;
    case Qt::Key_Return: return kVkReturn;
    case Qt::Key_Enter: *extended = true; return kVkReturn;
    case Qt::Key_Pause: return kVkPause;
    case Qt::Key_Print: return kVkSnapshot;
    case Qt::Key_Clear: return kVkClear;
    case Qt::Key_Help: return kVkHelp;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Alt: return kVkMenu;
    case Qt::Key_AltGr: *extended = true; return kVkRMenu;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return kVkLWin;
    case Qt::Key_Menu: return kVkApps;
    case Qt::Key_CapsLock: return kVkCapital;
    case Qt::Key_NumLock: *extended = true; return kVkNumLock;
    case Qt::Key_ScrollLock: return kVkScroll;
    case Qt::Key_Insert: *extended = !pad; return kVkInsert;
    case Qt::Key_Delete: *extended = !pad; return kVkDelete;
    case Qt::Key_Home: *extended = !pad; return kVkHome;
    case Qt::Key_End: *extended = !pad; return kVkEnd;
    case Qt::Key_PageUp: *extended = !pad; return kVkPrior;
    case Qt::Key_PageDown: *extended = !pad; return kVkNext;
    case Qt::Key_Left: *extended = !pad; return kVkLeft;
    case Qt::Key_Up: *extended = !pad; return kVkUp;
    case Qt::Key_Right: *extended = !pad; return kVkRight;
    case Qt::Key_Down: *extended = !pad; return kVkDown;
    // Shifted symbols belong to their key.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return pad ? kVkMultiply : '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Minus: return pad ? kVkSubtract : kVkOemMinus;
    case Qt::Key_Underscore: return kVkOemMinus;
    case Qt::Key_Plus: return pad ? kVkAdd : kVkOemPlus;
    case Qt::Key_Equal: return kVkOemPlus;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return kVkOem4;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return kVkOem6;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return kVkOem5;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return kVkOem1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return kVkOem7;
    case Qt::Key_Comma: return pad ? kVkDecimal : kVkOemComma;
    case Qt::Key_Less: return kVkOemComma;
    case Qt::Key_Period: return pad ? kVkDecimal : kVkOemPeriod;
    case Qt::Key_Greater: return kVkOemPeriod;
    case Qt::Key_Slash: *extended = pad; return pad ? kVkDivide : kVkOem2;
    case Qt::Key_Question: return kVkOem2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return kVkOem3;
  }
  return 0;
}

unsigned Modifiers(Qt::KeyboardModifiers m) {
  unsigned r = 0;
  if (m & Qt::ShiftModifier) r |= kHostShift;
  if (m & Qt::ControlModifier) r |= kHostControl;
  if (m & Qt::AltModifier) r |= kHostAlt;
  if (m & Qt::MetaModifier) r |= kHostMeta;
  if (m & Qt::KeypadModifier) r |= kHostKeypad;
  return r;
}

int Button(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return kHostLeftButton;
    case Qt::RightButton: return kHostRightButton;
    case Qt::MiddleButton: return kHostMiddleButton;
    case Qt::BackButton: return kHostXButton1;
    case Qt::ForwardButton: return kHostXButton2;
    default: return 0;
  }
}

unsigned Buttons(Qt::MouseButtons b) {
  unsigned r = 0;
  if (b & Qt::LeftButton) r |= kHostLeftButton;
  if (b & Qt::RightButton) r |= kHostRightButton;
  if (b & Qt::MiddleButton) r |= kHostMiddleButton;
  if (b & Qt::BackButton) r |= kHostXButton1;
  if (b & Qt::ForwardButton) r |= kHostXButton2;
  return r;
}

Qt::MouseButton QtButton(int b) {
  switch (b) {
    case kHostLeftButton: return Qt::LeftButton;
    case kHostRightButton: return Qt::RightButton;
    case kHostMiddleButton: return Qt::MiddleButton;
    case kHostXButton1: return Qt::BackButton;
    case kHostXButton2: return Qt::ForwardButton;
  }
  return Qt::NoButton;
}

Qt::MouseButtons QtButtons(unsigned b) {
  Qt::MouseButtons r;
  for (int bit :
       {kHostLeftButton, kHostRightButton, kHostMiddleButton, kHostXButton1, kHostXButton2})
    if (b & unsigned(bit)) r |= QtButton(bit);
  return r;
}

RECT ToRect(const QRect& r) {
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
POINT ToPoint(const QPointF& p) { return POINT{LONG(std::floor(p.x())), LONG(std::floor(p.y()))}; }

class QtDriver;

class SurfaceWindow : public QWindow {
 public:
  SurfaceWindow(QtDriver* driver, HostSurfaceId id, const HostSurfaceParams& p, QWindow* owner);
  void Flush(const std::uint32_t* pixels, int width, int height, int stride, const RECT& dirty,
             const std::vector<HostDeviceLayer>* layers = nullptr);
  // The backing store's pixel at (x, y), logical (device false) or device pixels.
  bool PixelAt(int x, int y, bool device, std::uint32_t* out);
  void Request(const QRect& r) {
    requested_ = r;
    // A surface the user may not resize keeps the size the window system gives it.
    if (fixedSize_) {
      setMinimumSize(r.size());
      setMaximumSize(r.size());
    }
    setGeometry(r);
  }
  void Restyle(const HostSurfaceParams& p);
  void ExpectFocus() { ownFocus_ = true; }
  bool FixedSize() const { return fixedSize_; }
  void SetState(HostSurfaceState s);

 protected:
  bool event(QEvent* e) override;
  void exposeEvent(QExposeEvent*) override;
  void resizeEvent(QResizeEvent*) override { GeometryChanged(); }
  void moveEvent(QMoveEvent*) override { GeometryChanged(); }
  void mousePressEvent(QMouseEvent* e) override { Mouse(HostEventType::MouseDown, e); }
  void mouseReleaseEvent(QMouseEvent* e) override { Mouse(HostEventType::MouseUp, e); }
  // The window system counts double clicks itself, from the presses.
  void mouseDoubleClickEvent(QMouseEvent*) override {}
  void mouseMoveEvent(QMouseEvent* e) override { Mouse(HostEventType::MouseMove, e); }
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override { Key(HostEventType::KeyDown, e); }
  void keyReleaseEvent(QKeyEvent* e) override { Key(HostEventType::KeyUp, e); }
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;

 private:
  void Mouse(HostEventType type, QMouseEvent* e);
  void Key(HostEventType type, QKeyEvent* e);
  void GeometryChanged();
  void StateChanged(Qt::WindowState s);
  void Emit(HostEvent& ev);
  void DrawLayer(QPainter& p, const HostDeviceLayer& layer, const QRect& dirty);

  QtDriver* driver_;
  HostSurfaceId id_;
  QBackingStore store_;
  QRect requested_;
  bool fixedSize_ = false;
  bool ownFocus_ = false;  // the next focus-in follows our own show or raise
  bool ownState_ = false;  // a state change we asked for, not the window manager
};

class QtDriver : public HostWindowDriver {
 public:
  QtDriver() {
    HostEnsureApplication();
    auto* app = qGuiApp;
    QObject::connect(
        app, &QGuiApplication::applicationStateChanged, [this](Qt::ApplicationState s) {
          HostEvent e;
          e.type =
              s == Qt::ApplicationActive ? HostEventType::AppActive : HostEventType::AppInactive;
          if (QWindow* f = QGuiApplication::focusWindow()) e.surface = IdOf(f);
          Deliver(e);
        });
    auto screens = [this] {
      HostEvent e;
      e.type = HostEventType::ScreensChanged;
      Deliver(e);
    };
    QObject::connect(app, &QGuiApplication::screenAdded, screens);
    QObject::connect(app, &QGuiApplication::screenRemoved, screens);
    QObject::connect(app, &QGuiApplication::primaryScreenChanged, screens);
  }

  void SetEventSink(HostEventSink sink) override { sink_ = std::move(sink); }

  bool CreateSurface(HostSurfaceId id, const HostSurfaceParams& p) override {
    if (windows_.count(id)) return true;
    QWindow* owner = p.owner ? Find(p.owner) : nullptr;
    windows_[id] = std::make_unique<SurfaceWindow>(this, id, p, owner);
    return true;
  }
  void DestroySurface(HostSurfaceId id) override {
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    if (captured_ == id) captured_ = 0;
    // Owned windows keep living: only their link to this one goes.
    for (auto& [other, w] : windows_)
      if (w->transientParent() == it->second.get()) w->setTransientParent(nullptr);
    windows_.erase(it);
  }
  void ShowSurface(HostSurfaceId id, bool show, bool activate) override {
    SurfaceWindow* w = Find(id);
    if (!w) return;
    if (!show) {
      w->hide();
      return;
    }
    w->ExpectFocus();
    w->setVisible(true);  // a surface minimised before it was shown stays so
    if (activate) w->requestActivate();
  }
  void MoveSurface(HostSurfaceId id, const RECT& rect) override {
    if (SurfaceWindow* w = Find(id)) w->Request(ToQRect(rect));
  }
  void SetSurfaceTitle(HostSurfaceId id, const std::u16string& title) override {
    if (SurfaceWindow* w = Find(id)) w->setTitle(QString::fromStdU16String(title));
  }
  void ActivateSurface(HostSurfaceId id) override {
    SurfaceWindow* w = Find(id);
    if (!w || !w->isVisible()) return;
    w->ExpectFocus();
    w->raise();
    w->requestActivate();
  }
  void FlushSurface(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                    int stride, const RECT& dirty) override {
    if (SurfaceWindow* w = Find(id)) w->Flush(pixels, width, height, stride, dirty);
  }
  void FlushSurfaceLayers(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                          int stride, const RECT& dirty,
                          const std::vector<HostDeviceLayer>& layers) override {
    if (SurfaceWindow* w = Find(id)) w->Flush(pixels, width, height, stride, dirty, &layers);
  }
  void SetSurfaceState(HostSurfaceId id, HostSurfaceState state) override {
    if (SurfaceWindow* w = Find(id)) w->SetState(state);
  }
  void RestyleSurface(HostSurfaceId id, const HostSurfaceParams& params) override {
    if (SurfaceWindow* w = Find(id)) w->Restyle(params);
  }
  RECT SurfaceFrameExtents(HostSurfaceId id) override {
    SurfaceWindow* w = Find(id);
    if (!w || (w->flags() & Qt::FramelessWindowHint)) return RECT{};
    QMargins m = w->frameMargins();
    return RECT{m.left(), m.top(), m.right(), m.bottom()};
  }
  double SurfaceScale(HostSurfaceId id) override {
    SurfaceWindow* w = Find(id);
    return w ? w->devicePixelRatio() : qGuiApp->devicePixelRatio();
  }
  bool BeginSystemMove(HostSurfaceId id, unsigned edges) override {
    SurfaceWindow* w = Find(id);
    if (!w) return false;
    if (!edges) return w->startSystemMove();
    Qt::Edges e;
    if (edges & kHostEdgeLeft) e |= Qt::LeftEdge;
    if (edges & kHostEdgeTop) e |= Qt::TopEdge;
    if (edges & kHostEdgeRight) e |= Qt::RightEdge;
    if (edges & kHostEdgeBottom) e |= Qt::BottomEdge;
    return w->startSystemResize(e);
  }

  void ProcessEvents(int timeoutMs) override {
    delivered_ = 0;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (timeoutMs == 0 || delivered_) return;
    bool expired = false;
    QTimer timer;
    if (timeoutMs > 0) {
      timer.setSingleShot(true);
      QObject::connect(&timer, &QTimer::timeout, [&expired] { expired = true; });
      timer.start(timeoutMs);
    }
    while (!expired && !delivered_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }

  void WatchWakeFd(int fd, std::function<void()> onWake) override {
    wake_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(wake_.get(), &QSocketNotifier::activated, [this, fd, onWake] {
      char buf[64];
      while (::read(fd, buf, sizeof buf) > 0) {
      }
      ++delivered_;
      if (onWake) onWake();
    });
  }

  void SetCapture(HostSurfaceId id) override {
    if (captured_ && captured_ != id)
      if (SurfaceWindow* w = Find(captured_)) w->setMouseGrabEnabled(false);
    captured_ = id;
    if (SurfaceWindow* w = Find(id)) w->setMouseGrabEnabled(true);
  }
  POINT GetCursorPos() override { return ToPoint(QCursor::pos()); }
  void SetCursorPos(POINT p) override { QCursor::setPos(p.x, p.y); }
  void SetCursor(HostCursor c) override {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (c) {
      case HostCursor::Arrow: shape = Qt::ArrowCursor; break;
      case HostCursor::IBeam: shape = Qt::IBeamCursor; break;
      case HostCursor::Wait: shape = Qt::WaitCursor; break;
      case HostCursor::Cross: shape = Qt::CrossCursor; break;
      case HostCursor::UpArrow: shape = Qt::UpArrowCursor; break;
      case HostCursor::SizeNWSE: shape = Qt::SizeFDiagCursor; break;
      case HostCursor::SizeNESW: shape = Qt::SizeBDiagCursor; break;
      case HostCursor::SizeWE: shape = Qt::SizeHorCursor; break;
      case HostCursor::SizeNS: shape = Qt::SizeVerCursor; break;
      case HostCursor::SizeAll: shape = Qt::SizeAllCursor; break;
      case HostCursor::No: shape = Qt::ForbiddenCursor; break;
      case HostCursor::Hand: shape = Qt::PointingHandCursor; break;
      case HostCursor::AppStarting: shape = Qt::BusyCursor; break;
      case HostCursor::Help: shape = Qt::WhatsThisCursor; break;
      case HostCursor::Hidden: shape = Qt::BlankCursor; break;
    }
    for (auto& [id, w] : windows_) w->setCursor(QCursor(shape));
  }
  std::vector<HostScreen> GetScreens() override {
    std::vector<HostScreen> out;
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* s : QGuiApplication::screens()) {
      HostScreen h;
      h.geometry = ToRect(s->geometry());
      h.workArea = ToRect(s->availableGeometry());
      h.primary = s == primary;
      h.dpi = int(s->logicalDotsPerInch() + 0.5);
      out.push_back(h);
    }
    return out;
  }
  bool GetClipboardText(std::u16string* text) override {
    QString t = QGuiApplication::clipboard()->text();
    *text = t.toStdU16String();
    return !t.isEmpty();
  }
  bool SetClipboardText(const std::u16string& text) override {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
    return true;
  }
  void Beep() override { QApplication::beep(); }

  void Deliver(const HostEvent& e) {
    ++delivered_;
    if (sink_) sink_(e);
  }
  SurfaceWindow* Find(HostSurfaceId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
  }
  HostSurfaceId IdOf(QWindow* w) {
    for (auto& [id, sw] : windows_)
      if (sw.get() == w) return id;
    return 0;
  }

 private:
  HostEventSink sink_;
  std::unordered_map<HostSurfaceId, std::unique_ptr<SurfaceWindow>> windows_;
  HostSurfaceId captured_ = 0;
  int delivered_ = 0;
  std::unique_ptr<QSocketNotifier> wake_;
};

QtDriver* TheDriver() {
  static QtDriver* driver = new QtDriver;  // lives as long as the application object
  return driver;
}

// The window flags asking the desktop for the frame and only the buttons the window has.
Qt::WindowFlags FlagsOf(const HostSurfaceParams& p) {
  Qt::WindowFlags f;
  if (p.popup) f = Qt::ToolTip | Qt::FramelessWindowHint;
  else if (p.dialog) f = Qt::Dialog;
  else if (p.toolWindow) f = Qt::Tool;
  else f = Qt::Window;
  if (!p.popup && !p.decorated) f |= Qt::FramelessWindowHint;
  if (p.decorated) {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowCloseButtonHint;
    if (p.minimizeBox) f |= Qt::WindowMinimizeButtonHint;
    if (p.maximizeBox && p.resizable) f |= Qt::WindowMaximizeButtonHint;
  }
  if (p.topmost) f |= Qt::WindowStaysOnTopHint;
  if (p.noActivate || p.popup) f |= Qt::WindowDoesNotAcceptFocus;
  return f;
}

SurfaceWindow::SurfaceWindow(QtDriver* driver, HostSurfaceId id, const HostSurfaceParams& p,
                             QWindow* owner)
    : driver_(driver), id_(id), store_(this) {
  setFlags(FlagsOf(p));
  fixedSize_ = p.decorated && !p.resizable;
  setSurfaceType(QSurface::RasterSurface);
  if (owner) setTransientParent(owner);
  setTitle(QString::fromStdU16String(p.title));
  QObject::connect(this, &QWindow::windowStateChanged,
                   [this](Qt::WindowState s) { StateChanged(s); });
  Request(ToQRect(p.rect));
}

void SurfaceWindow::Restyle(const HostSurfaceParams& p) {
  setFlags(FlagsOf(p));
  fixedSize_ = p.decorated && !p.resizable;
  if (!fixedSize_) {
    setMinimumSize(QSize(0, 0));
    setMaximumSize(QSize((1 << 24) - 1, (1 << 24) - 1));  // Qt's "no maximum"
  }
  Request(requested_);
}

// One pass: the window system's own pixels, wrapped without a copy, drawn straight into the
// backing store. Nothing is kept here: an expose asks the window system for them again.
void SurfaceWindow::Flush(const std::uint32_t* pixels, int width, int height, int stride,
                          const RECT& dirty, const std::vector<HostDeviceLayer>* layers) {
  if (!isExposed()) return;
  if (store_.size() != size()) store_.resize(size());
  QRect r = ToQRect(dirty) & QRect(0, 0, width, height) & QRect(QPoint(), size());
  if (r.isEmpty()) return;
  QImage src(reinterpret_cast<const uchar*>(pixels), width, height, stride, QImage::Format_RGB32);
  store_.beginPaint(QRegion(r));
  {
    QPainter p(store_.paintDevice());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(r.topLeft(), src, r);
    if (layers)
      for (const HostDeviceLayer& l : *layers) DrawLayer(p, l, r);
  }
  store_.endPaint();
  store_.flush(QRegion(r));
}

// Each piece goes from the layer's device pixels to the same number of the backing store's,
// given as a source rectangle: the painter's scale then maps them one to one.
void SurfaceWindow::DrawLayer(QPainter& p, const HostDeviceLayer& l, const QRect& dirty) {
  QRect at = ToQRect(l.rect);
  if (!l.pixels || at.isEmpty() || l.width <= 0 || l.height <= 0) return;
  QImage img(reinterpret_cast<const uchar*>(l.pixels), l.width, l.height, l.strideBytes,
             QImage::Format_RGB32);
  const double sx = double(l.width) / at.width(), sy = double(l.height) / at.height();
  for (const RECT& c : l.clip) {
    QRect piece = ToQRect(c) & dirty & at;
    if (piece.isEmpty()) continue;
    QRectF from((piece.x() - at.x()) * sx, (piece.y() - at.y()) * sy, piece.width() * sx,
                piece.height() * sy);
    p.drawImage(QRectF(piece), img, from);
  }
}

bool SurfaceWindow::PixelAt(int x, int y, bool device, std::uint32_t* out) {
  auto* img = dynamic_cast<QImage*>(store_.paintDevice());
  if (!img || img->isNull() || !isExposed()) return false;
  qreal dpr = device ? 1 : img->devicePixelRatio();
  int px = int(x * dpr), py = int(y * dpr);
  if (x < 0 || y < 0 || px >= img->width() || py >= img->height()) return false;
  *out = img->pixel(px, py) & 0xFFFFFF;
  return true;
}

void SurfaceWindow::exposeEvent(QExposeEvent*) {
  if (!isExposed()) return;
  HostEvent ev;
  ev.type = HostEventType::Expose;
  Emit(ev);
}

void SurfaceWindow::SetState(HostSurfaceState s) {
  Qt::WindowStates want = s == HostSurfaceState::Minimized   ? Qt::WindowMinimized
                          : s == HostSurfaceState::Maximized ? Qt::WindowMaximized
                                                             : Qt::WindowNoState;
  if (windowStates() == want) return;
  ownState_ = true;
  setWindowStates(want);
  ownState_ = false;
}

void SurfaceWindow::StateChanged(Qt::WindowState s) {
  if (ownState_) return;
  HostEvent ev;
  ev.type = HostEventType::State;
  ev.state = (s & Qt::WindowMinimized)   ? HostSurfaceState::Minimized
             : (s & Qt::WindowMaximized) ? HostSurfaceState::Maximized
                                         : HostSurfaceState::Normal;
  Emit(ev);
}

bool SurfaceWindow::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Close: {
      // The window system decides: the request becomes WM_CLOSE.
      e->ignore();
      HostEvent ev;
      ev.type = HostEventType::Close;
      Emit(ev);
      return true;
    }
    case QEvent::Leave: {
      HostEvent ev;
      ev.type = HostEventType::MouseLeave;
      Emit(ev);
      break;
    }
    default: break;
  }
  return QWindow::event(e);
}

void SurfaceWindow::Emit(HostEvent& ev) {
  ev.surface = id_;
  driver_->Deliver(ev);
}

void SurfaceWindow::Mouse(HostEventType type, QMouseEvent* e) {
  ownFocus_ = false;
  HostEvent ev;
  ev.type = type;
  ev.pt = ToPoint(e->globalPosition());
  ev.button = type == HostEventType::MouseMove ? 0 : Button(e->button());
  ev.buttons = Buttons(e->buttons());
  ev.modifiers = Modifiers(e->modifiers());
  if (type != HostEventType::MouseMove && !ev.button) return;
  Emit(ev);
}

void SurfaceWindow::wheelEvent(QWheelEvent* e) {
  HostEvent ev;
  ev.type = HostEventType::Wheel;
  ev.pt = ToPoint(e->globalPosition());
  ev.buttons = Buttons(e->buttons());
  ev.modifiers = Modifiers(e->modifiers());
  QPoint d = e->angleDelta();
  if (d.y()) {
    ev.wheelDelta = d.y();
  } else if (d.x()) {
    ev.wheelDelta = -d.x();
    ev.horizontal = true;
  } else {
    return;
  }
  Emit(ev);
}

void SurfaceWindow::Key(HostEventType type, QKeyEvent* e) {
  ownFocus_ = false;
  HostEvent ev;
  ev.type = type;
  ev.modifiers = Modifiers(e->modifiers());
  ev.vk = VirtualKey(e->key(), e->modifiers(), &ev.extended);
  ev.autoRepeat = e->isAutoRepeat();
  if (type == HostEventType::KeyDown) ev.text = e->text().toStdU16String();
  if (!ev.vk) {
    if (ev.text.empty()) return;
    ev.vk = kVkPacket;  // a character without a key of the US layout
  }
  ev.pt = ToPoint(QCursor::pos());
  Emit(ev);
}

void SurfaceWindow::focusInEvent(QFocusEvent*) {
  if (ownFocus_) {
    ownFocus_ = false;
    return;
  }
  HostEvent ev;
  ev.type = HostEventType::FocusIn;
  Emit(ev);
}

void SurfaceWindow::focusOutEvent(QFocusEvent*) {
  HostEvent ev;
  ev.type = HostEventType::FocusOut;
  Emit(ev);
}

void SurfaceWindow::GeometryChanged() {
  QRect g = geometry();
  if (g == requested_) return;
  requested_ = g;
  HostEvent ev;
  ev.type = HostEventType::Geometry;
  ev.rect = ToRect(g);
  Emit(ev);
}

}  // namespace

HostWindowDriver* HostQtWindowDriver() { return TheDriver(); }

bool HostSimulateMouseForTesting(HostSurfaceId id, HostEventType kind, POINT pt, int button,
                                 unsigned buttons, int wheelDelta) {
  SurfaceWindow* w = TheDriver()->Find(id);
  if (!w) return false;
  QPointF global(pt.x, pt.y);
  QPointF local = global - QPointF(w->geometry().topLeft());
  if (kind == HostEventType::Wheel) {
    QWheelEvent e(local, global, QPoint(), QPoint(0, wheelDelta), QtButtons(buttons),
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
    return true;
  }
  QEvent::Type t = kind == HostEventType::MouseDown ? QEvent::MouseButtonPress
                   : kind == HostEventType::MouseUp ? QEvent::MouseButtonRelease
                                                    : QEvent::MouseMove;
  QMouseEvent e(t, local, global,
                kind == HostEventType::MouseMove ? Qt::NoButton : QtButton(button),
                QtButtons(buttons), Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
  return true;
}

bool HostSimulateKeyForTesting(HostSurfaceId id, bool press, int qtKey, unsigned qtModifiers,
                               const std::u16string& text) {
  SurfaceWindow* w = TheDriver()->Find(id);
  if (!w) return false;
  QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, qtKey,
              Qt::KeyboardModifiers(int(qtModifiers)), QString::fromStdU16String(text));
  QCoreApplication::sendEvent(w, &e);
  return true;
}

bool HostSimulateCloseForTesting(HostSurfaceId id) {
  SurfaceWindow* w = TheDriver()->Find(id);
  if (!w) return false;
  w->close();
  return true;
}

bool HostGrabScreenForTesting(const RECT& rect, std::vector<std::uint32_t>* pixels) {
  HostEnsureApplication();
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s || !pixels) return false;
  QImage img = s->grabWindow(0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top)
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
  if (img.width() != rect.right - rect.left || img.height() != rect.bottom - rect.top) return false;
  pixels->clear();
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) pixels->push_back(row[x] & 0xFFFFFF);
  }
  return true;
}

bool HostSurfacePixelForTesting(HostSurfaceId id, int x, int y, std::uint32_t* pixel) {
  SurfaceWindow* w = TheDriver()->Find(id);
  return w && pixel && w->PixelAt(x, y, false, pixel);
}

bool HostSurfaceDevicePixelForTesting(HostSurfaceId id, int x, int y, std::uint32_t* pixel) {
  SurfaceWindow* w = TheDriver()->Find(id);
  return w && pixel && w->PixelAt(x, y, true, pixel);
}

bool HostSurfaceVisibleForTesting(HostSurfaceId id) {
  SurfaceWindow* w = TheDriver()->Find(id);
  return w && w->isVisible();
}

bool HostSurfaceInfoForTesting(HostSurfaceId id, HostSurfaceInfo* info) {
  SurfaceWindow* w = TheDriver()->Find(id);
  if (!w || !info) return false;
  Qt::WindowFlags f = w->flags();
  info->decorated = !(f & Qt::FramelessWindowHint);
  info->dialog = w->type() == Qt::Dialog;
  info->transientFor = w->transientParent() ? TheDriver()->IdOf(w->transientParent()) : 0;
  info->minimized = w->windowStates() & Qt::WindowMinimized;
  info->maximized = w->windowStates() & Qt::WindowMaximized;
  info->fixedSize = w->FixedSize() && w->minimumSize() == w->maximumSize();
  info->minimizeButton = f & Qt::WindowMinimizeButtonHint;
  info->maximizeButton = f & Qt::WindowMaximizeButtonHint;
  info->geometry = ToRect(w->geometry());
  return true;
}

bool HostSimulateStateForTesting(HostSurfaceId id, HostSurfaceState state) {
  SurfaceWindow* w = TheDriver()->Find(id);
  if (!w) return false;
  w->setWindowStates(state == HostSurfaceState::Minimized   ? Qt::WindowMinimized
                     : state == HostSurfaceState::Maximized ? Qt::WindowMaximized
                                                            : Qt::WindowNoState);
  return true;
}
