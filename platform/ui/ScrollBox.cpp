#include "platform/ui/ScrollBox.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
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
  return (FHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar())->value();
}

void TControlScrollBar::SetPosition(int position) {
  QScrollArea* area = AreaOf(FBox);
  FBox->UpdateScrollRange();
  (FHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar())->setValue(std::max(0, position));
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
  if (FHorz == nullptr || FVert == nullptr) return;
  if (FAutoScroll) {
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible()) continue;
      right = std::max(right, c->Left() + c->Width());
      bottom = std::max(bottom, c->Top() + c->Height());
    }
    FHorz->FRange = right + FHorz->FMargin;
    FVert->FRange = bottom + FVert->FMargin;
  }
  QScrollArea* area = AreaOf(this);
  QWidget* content = area->widget();
  int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  content->resize(std::max(FHorz->FRange, clientWidth), std::max(FVert->FRange, clientHeight));
  // The scroll area sets its bars' ranges only once it is laid out on the screen; positions must hold
  // before that too.
  QScrollBar* h = area->horizontalScrollBar();
  QScrollBar* v = area->verticalScrollBar();
  h->setRange(0, std::max(0, FHorz->FRange - clientWidth));
  h->setPageStep(std::max(1, clientWidth));
  v->setRange(0, std::max(0, FVert->FRange - clientHeight));
  v->setPageStep(std::max(1, clientHeight));
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
