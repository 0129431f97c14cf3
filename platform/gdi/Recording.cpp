// The recording device context, its document and page brackets, and the replay of a recording.
#include <algorithm>
#include <cstring>

#include "GdiInternal.h"
#include "GdiSurface.h"

namespace gdi {

bool IsRecording(const DcObj* dc) { return dc->kind == DcKind::Recording; }

GdiRecordOp& Record(DcObj* dc, GdiOpKind kind) {
  GdiRecordOp op;
  op.kind = kind;
  if (PenObj* pen = DcPen(dc)) {
    op.pen.lopnStyle = pen->style;
    op.pen.lopnWidth = {pen->width, 0};
    op.pen.lopnColor = PenColor(dc, pen);
  }
  if (BrushObj* b = DcBrush(dc)) {
    op.brush.lbStyle = b->style;
    op.brush.lbColor = b->dcBrush         ? dc->st.dcBrushColor
                       : b->sysColor >= 0 ? GetSysColor(b->sysColor)
                                          : b->color;
    op.brush.lbHatch = b->style == BS_HATCHED ? ULONG_PTR(b->hatch) : 0;
  }
  if (FontObj* f = DcFont(dc)) op.font = f->lf;
  op.rop2 = dc->st.rop2;
  op.fillMode = dc->st.polyFillMode;
  op.textColor = dc->st.textColor;
  op.bkColor = dc->st.bkColor;
  op.bkMode = dc->st.bkMode;
  op.align = dc->st.textAlign & ~TA_UPDATECP;
  if (dc->recordClipStale) {
    dc->recordClip.reset();
    if (dc->st.clip) {
      const Clip& c = DcClip(dc);
      dc->recordClip = std::make_shared<const std::vector<RECT>>(c.rects);
    }
    dc->recordClipStale = false;
  }
  op.clip = dc->recordClip;
  auto& ops = dc->recording->ops;
  ops.push_back(std::move(op));
  return ops.back();
}

}  // namespace gdi

using namespace gdi;

int GdiRecording::PageCount() const {
  int n = int(std::count_if(ops.begin(), ops.end(),
                            [](const GdiRecordOp& op) { return op.kind == GdiOpKind::StartPage; }));
  return n == 0 && !ops.empty() ? 1 : n;
}

void GdiRecording::PageRange(int page, std::size_t* first, std::size_t* last) const {
  *first = *last = ops.size();
  bool anyStart = std::any_of(ops.begin(), ops.end(), [](const GdiRecordOp& op) {
    return op.kind == GdiOpKind::StartPage;
  });
  if (!anyStart) {
    if (page == 0) *first = 0;
    return;
  }
  int seen = -1;
  for (std::size_t i = 0; i < ops.size(); ++i) {
    if (ops[i].kind != GdiOpKind::StartPage) continue;
    ++seen;
    if (seen == page) *first = i + 1;
    else if (seen == page + 1) {
      *last = i;
      return;
    }
  }
}

HDC GdiCreateRecordingDC(const GdiDeviceInfo& device) {
  if (device.dpiX <= 0 || device.dpiY <= 0 || device.width <= 0 || device.height <= 0) return 0;
  HDC h = NewDeviceContext(DcKind::Recording);
  DcObj* dc = LookupDC(h);
  if (!dc) return 0;
  dc->recording = std::make_unique<GdiRecording>();
  dc->recording->device = device;
  InvalidateClip(dc);
  return h;
}

const GdiRecording* GdiGetRecording(HDC h) {
  DcObj* dc = LookupDC(h);
  return dc && IsRecording(dc) ? dc->recording.get() : nullptr;
}

GdiRecording GdiTakeRecording(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc || !IsRecording(dc)) return {};
  GdiRecording out = std::move(*dc->recording);
  dc->recording->ops.clear();
  dc->recording->device = out.device;
  dc->docStart = 0;
  return out;
}

int StartDocW(HDC h, const DOCINFOW*) {
  DcObj* dc = LookupDC(h);
  if (!dc || !IsRecording(dc) || dc->inDoc) return 0;
  dc->inDoc = true;
  dc->docStart = dc->recording->ops.size();
  return 1;
}

int EndDoc(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc || !IsRecording(dc) || !dc->inDoc) return 0;
  dc->inDoc = false;
  return 1;
}

int AbortDoc(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc || !IsRecording(dc)) return 0;
  if (dc->inDoc) dc->recording->ops.resize(dc->docStart);
  dc->inDoc = false;
  return 1;
}

int StartPage(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc || !IsRecording(dc)) return 0;
  GdiRecordOp op;
  op.kind = GdiOpKind::StartPage;
  dc->recording->ops.push_back(std::move(op));
  return 1;
}

int EndPage(HDC h) {
  DcObj* dc = LookupDC(h);
  return dc && IsRecording(dc) ? 1 : 0;
}

namespace {

HPEN PenFor(const LOGPEN& lp) {
  if (lp.lopnStyle & PS_TYPE_MASK) {
    LOGBRUSH lb;
    lb.lbColor = lp.lopnColor;
    return ExtCreatePen(lp.lopnStyle, DWORD(std::max(lp.lopnWidth.x, 1)), &lb, 0, nullptr);
  }
  return CreatePen(int(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor);
}

HBRUSH BrushFor(const LOGBRUSH& lb) {
  if (lb.lbStyle == BS_NULL) return GetStockObject(NULL_BRUSH);
  if (lb.lbStyle == BS_HATCHED) return CreateHatchBrush(int(lb.lbHatch), lb.lbColor);
  return CreateSolidBrush(lb.lbColor);
}

void ReplayOne(const GdiRecordOp& op, HDC t, POINT offset) {
  if (op.clip) {
    std::vector<RECT> rects = *op.clip;
    for (RECT& r : rects) {
      r.left += offset.x;
      r.right += offset.x;
      r.top += offset.y;
      r.bottom += offset.y;
    }
    auto rgn = std::make_unique<RegionObj>();
    rgn->type = OBJ_REGION;
    rgn->rgn = Region::FromRects(rects);
    HRGN h = AddObject(std::move(rgn));
    ExtSelectClipRgn(t, h, RGN_AND);
    DeleteObject(h);
  }
  HPEN pen = PenFor(op.pen);
  HBRUSH brush = BrushFor(op.brush);
  HFONT font = CreateFontIndirectW(&op.font);
  SelectObject(t, pen);
  SelectObject(t, brush);
  SelectObject(t, font);
  SetROP2(t, op.rop2);
  SetPolyFillMode(t, op.fillMode);
  SetTextColor(t, op.textColor);
  SetBkColor(t, op.bkColor);
  SetBkMode(t, op.bkMode);
  SetTextAlign(t, op.align);
  const POINT* pts = op.points.data();
  int n = int(op.points.size());
  switch (op.kind) {
    case GdiOpKind::StartPage: break;
    case GdiOpKind::Polyline: Polyline(t, pts, n); break;
    case GdiOpKind::Polygon: Polygon(t, pts, n); break;
    case GdiOpKind::Rectangle:
      if (op.srcRect.right || op.srcRect.bottom)
        RoundRect(t, op.rect.left, op.rect.top, op.rect.right, op.rect.bottom, op.srcRect.right,
                  op.srcRect.bottom);
      else Rectangle(t, op.rect.left, op.rect.top, op.rect.right, op.rect.bottom);
      break;
    case GdiOpKind::Ellipse:
      Ellipse(t, op.rect.left, op.rect.top, op.rect.right, op.rect.bottom);
      break;
    case GdiOpKind::FillRect: FillRect(t, &op.rect, brush); break;
    case GdiOpKind::PatBlt:
      PatBlt(t, op.rect.left, op.rect.top, op.rect.right - op.rect.left,
             op.rect.bottom - op.rect.top, op.rop);
      break;
    case GdiOpKind::SetPixel:
      if (n > 0) SetPixel(t, pts[0].x, pts[0].y, op.textColor);
      break;
    case GdiOpKind::Text:
      if (n > 0)
        ExtTextOutW(t, pts[0].x, pts[0].y, op.options, &op.rect, op.text.data(),
                    UINT(op.text.size()), op.dx.empty() ? nullptr : op.dx.data());
      break;
    case GdiOpKind::Image: {
      if (!op.image || op.image->width <= 0 || op.image->height <= 0) break;
      HBITMAP bmp = op.image->monochrome
                        ? CreateBitmap(op.image->width, op.image->height, 1, 1, nullptr)
                        : GdiCreateBitmap32(op.image->width, op.image->height);
      if (auto* b = LookupAs<BitmapObj>(bmp, OBJ_BITMAP))
        std::copy(op.image->pixels.begin(), op.image->pixels.end(), b->storage.begin());
      HDC src = CreateCompatibleDC(0);
      SelectObject(src, bmp);
      if (op.transparent != CLR_INVALID)
        TransparentBlt(t, op.rect.left, op.rect.top, op.rect.right - op.rect.left,
                       op.rect.bottom - op.rect.top, src, op.srcRect.left, op.srcRect.top,
                       op.srcRect.right - op.srcRect.left, op.srcRect.bottom - op.srcRect.top,
                       op.transparent);
      else
        StretchBlt(t, op.rect.left, op.rect.top, op.rect.right - op.rect.left,
                   op.rect.bottom - op.rect.top, src, op.srcRect.left, op.srcRect.top,
                   op.srcRect.right - op.srcRect.left, op.srcRect.bottom - op.srcRect.top, op.rop);
      DeleteDC(src);
      DeleteObject(bmp);
      break;
    }
  }
  SelectObject(t, GetStockObject(BLACK_PEN));
  SelectObject(t, GetStockObject(WHITE_BRUSH));
  SelectObject(t, GetStockObject(SYSTEM_FONT));
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(font);
}

}  // namespace

BOOL GdiReplay(const GdiRecording& recording, std::size_t first, std::size_t last, HDC target,
               POINT offset) {
  DcObj* dc = LookupDC(target);
  if (!dc || first > last || last > recording.ops.size()) return FALSE;
  int base = SaveDC(target);
  SetWindowOrgEx(target, 0, 0, nullptr);
  SetViewportOrgEx(target, offset.x, offset.y, nullptr);
  for (std::size_t i = first; i < last; ++i) {
    int level = SaveDC(target);
    ReplayOne(recording.ops[i], target, offset);
    RestoreDC(target, level);
  }
  RestoreDC(target, base);
  return TRUE;
}

BOOL GdiReplayPage(const GdiRecording& recording, int page, HDC target, POINT offset) {
  std::size_t first, last;
  recording.PageRange(page, &first, &last);
  if (first >= recording.ops.size() && !(first == last && page < recording.PageCount()))
    return FALSE;
  return GdiReplay(recording, first, last, target, offset);
}
