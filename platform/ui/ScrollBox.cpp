#include "platform/ui/ScrollBox.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <string>

#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

QScrollArea* AreaOf(const TScrollBox* box) {
  return static_cast<QScrollArea*>(WidgetOf(box));
}
int ScrollBarExtent(const QWidget* w) {
  return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
}

}  // namespace

int TControlScrollBar::Position() const {
  QScrollArea* area = AreaOf(FBox);
  return (FHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar())->value() + Origin();
}

void TControlScrollBar::SetPosition(int position) {
  QScrollArea* area = AreaOf(FBox);
  FBox->UpdateScrollRange();
  // The bar counts from the content's start; it keeps its value within its range.
  const long long value = std::clamp(static_cast<long long>(position) - Origin(),
                                     static_cast<long long>(std::numeric_limits<int>::min()),
                                     static_cast<long long>(std::numeric_limits<int>::max()));
  (FHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar())->setValue(static_cast<int>(value));
}

int TControlScrollBar::Origin() const {
  return FHorizontal ? FBox->FOriginX : FBox->FOriginY;
}

int TControlScrollBar::Range() const {
  return FRange;
}

void TControlScrollBar::SetRange(int range) {
  FRange = std::max(0, range);
  FBox->UpdateScrollRange();
}

void TControlScrollBar::SetVisible(bool visible) {
  FVisible = visible;
  QScrollArea* area = AreaOf(FBox);
  Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (FHorizontal) {
    area->setHorizontalScrollBarPolicy(policy);
  } else {
    area->setVerticalScrollBarPolicy(policy);
  }
  FBox->UpdateScrollRange();
}

void TControlScrollBar::SetMargin(int margin) {
  FMargin = std::max(0, margin);
  FBox->UpdateScrollRange();
}

void TControlScrollBar::SetTracking(bool tracking) {
  FTracking = tracking;
  QScrollArea* area = AreaOf(FBox);
  (FHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar())->setTracking(true);
}

int TControlScrollBar::Size() const {
  // Whether this bar shows: it is allowed and the content reaches past the inside left for it.
  if (!FVisible) return 0;
  const TControlScrollBar& other = FHorizontal ? FBox->VertScrollBar() : FBox->HorzScrollBar();
  int extent = ScrollBarExtent(AreaOf(FBox));
  int room = FHorizontal ? FBox->Width() : FBox->Height();
  int otherRoom = FHorizontal ? FBox->Height() : FBox->Width();
  bool otherShows = other.FVisible && other.FRange > otherRoom;
  bool shows = FRange > room - (otherShows ? extent : 0);
  if (!shows) return 0;
  return extent;
}

TScrollBox::TScrollBox(TComponent* owner)
    : TWinControl(owner),
      FHorz(new TControlScrollBar(this, true)),
      FVert(new TControlScrollBar(this, false)) {
  auto* area = new QScrollArea;
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(false);
  auto* content = new QWidget;
  content->setAutoFillBackground(false);
  area->setWidget(content);
  area->viewport()->setAutoFillBackground(true);
  TControlAccess::Attach(*this, area, content, area->viewport());
  for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
    QObject::connect(bar, &QScrollBar::valueChanged, area, [this] { ViewMoved(); });
    QObject::connect(bar, &QScrollBar::sliderReleased, area, [this] { ViewMoved(); });
  }
  TScrollBox::ColorChanged();  // this class's own version: a descendant is not built yet
  UpdateScrollRange();
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::SetAutoScroll(bool autoScroll) {
  FAutoScroll = autoScroll;
  UpdateScrollRange();
}

int TScrollBox::ClientWidth() const {
  return std::max(0, Width() - FVert->Size());
}
int TScrollBox::ClientHeight() const {
  return std::max(0, Height() - FHorz->Size());
}

void TScrollBox::UpdateScrollRange() {
  if (FHorz == nullptr || FVert == nullptr || FUpdating) return;
  FUpdating = true;
  QScrollArea* area = AreaOf(this);
  QScrollBar* h = area->horizontalScrollBar();
  QScrollBar* v = area->verticalScrollBar();
  // The view in content coordinates, kept where it is unless the new range leaves it no room.
  const int viewLeft = h->value() + FOriginX, viewTop = v->value() + FOriginY;
  int originX = 0, originY = 0;
  if (FAutoScroll) {
    int left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible()) continue;
      left = std::min(left, c->Left());
      top = std::min(top, c->Top());
      right = std::max(right, c->Left() + c->Width());
      bottom = std::max(bottom, c->Top() + c->Height());
    }
    // Content before 0 keeps the margin before the nearest control too.
    if (left < 0) left -= FHorz->FMargin;
    if (top < 0) top -= FVert->FMargin;
    right += FHorz->FMargin;
    bottom += FVert->FMargin;
    // A held view stays within the range, and the range does not shrink under a held thumb. Until the
    // ranges settle: a bar that a range brings up or takes away changes the view's size.
    const bool thumbHeld = FHoldView && (h->isSliderDown() || v->isSliderDown());
    const int heldLeft = FOriginX, heldTop = FOriginY;
    const int heldRight = FOriginX + FHorz->FRange, heldBottom = FOriginY + FVert->FRange;
    for (int pass = 0; pass < 4; ++pass) {
      const int rangeX = FHorz->FRange, rangeY = FVert->FRange;
      int l = left, t = top, r = right, b = bottom;
      if (FHoldView) {
        l = std::min(l, viewLeft);
        t = std::min(t, viewTop);
        r = std::max(r, viewLeft + ClientWidth());
        b = std::max(b, viewTop + ClientHeight());
      }
      if (thumbHeld) {
        l = std::min(l, heldLeft);
        t = std::min(t, heldTop);
        r = std::max(r, heldRight);
        b = std::max(b, heldBottom);
      }
      originX = l;
      originY = t;
      FHorz->FRange = r - l;
      FVert->FRange = b - t;
      if (FHorz->FRange == rangeX && FVert->FRange == rangeY) break;
    }
  }
  if (originX != FOriginX || originY != FOriginY) {
    FOriginX = originX;
    FOriginY = originY;
    for (int i = 0; i < ControlCount(); ++i) TControlAccess::Place(*Controls(i));
  }
  QWidget* content = area->widget();
  int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  content->resize(std::max(FHorz->FRange, clientWidth), std::max(FVert->FRange, clientHeight));
  // The scroll area sets its bars' ranges only once it is laid out on the screen; positions must hold
  // before that too.
  h->setRange(0, std::max(0, FHorz->FRange - clientWidth));
  h->setPageStep(std::max(1, clientWidth));
  v->setRange(0, std::max(0, FVert->FRange - clientHeight));
  v->setPageStep(std::max(1, clientHeight));
  h->setValue(viewLeft - FOriginX);
  v->setValue(viewTop - FOriginY);
  FUpdating = false;
}

void TScrollBox::HoldView() {
  FHoldView = true;
  UpdateScrollRange();
}

void TScrollBox::ReleaseView() {
  FHoldView = false;
  UpdateScrollRange();
}

void TScrollBox::ViewMoved() {
  // What a hold kept beyond the controls goes as it leaves the view.
  if (FHoldView) UpdateScrollRange();
}

void TScrollBox::ControlChanged(TControl* /*control*/) {
  UpdateScrollRange();
}

void TScrollBox::BoundsChanged() {
  TWinControl::BoundsChanged();
  UpdateScrollRange();
}

void TScrollBox::ColorChanged() {
  QWidget* viewport = AreaOf(this)->viewport();
  QPalette pal = viewport->palette();
  pal.setColor(QPalette::Window, ToQColor(Color()));
  viewport->setPalette(pal);
}

void TScrollBox::Loaded() {
  TWinControl::Loaded();
  UpdateScrollRange();
}

void TScrollBox::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.Boolean(
      "AutoScroll", [this] { return FAutoScroll; }, [this](bool v) { SetAutoScroll(v); }, !FAutoScroll);
  for (bool horizontal : {true, false}) {
    TControlScrollBar* bar = horizontal ? FHorz.get() : FVert.get();
    std::string prefix = horizontal ? "HorzScrollBar." : "VertScrollBar.";
    filer.Integer(
        prefix + "Margin", [bar] { return bar->Margin(); }, [bar](int v) { bar->SetMargin(v); },
        bar->Margin() != 0);
    filer.Integer(
        prefix + "Range", [bar] { return bar->Range(); }, [bar](int v) { bar->SetRange(v); },
        !FAutoScroll && bar->Range() != 0);
    filer.Boolean(
        prefix + "Visible", [bar] { return bar->Visible(); }, [bar](bool v) { bar->SetVisible(v); },
        !bar->Visible());
    filer.Boolean(
        prefix + "Tracking", [bar] { return bar->Tracking(); }, [bar](bool v) { bar->SetTracking(v); },
        bar->Tracking());
  }
}

}  // namespace tess
