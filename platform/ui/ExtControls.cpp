#include "platform/ui/ExtControls.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <cmath>

#include "platform/ui/Application.h"
#include "platform/components/StoredEnum.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

void PopupMenuAt(TPopupMenu* menu, TPoint at) {
  if (menu != nullptr) menu->Popup(at.X, at.Y);
}

namespace {

// ---- glyphs -----------------------------------------------------------------------------------------------

void DrawPage(QPainter& p, QRectF r) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void DrawTriangle(QPainter& p, double x, double y, double w, double h, bool left) {
  QPainterPath path;
  if (left) {
    path.moveTo(x + w, y);
    path.lineTo(x, y + h / 2);
    path.lineTo(x + w, y + h);
  } else {
    path.moveTo(x, y);
    path.lineTo(x + w, y + h / 2);
    path.lineTo(x, y + h);
  }
  path.closeSubpath();
  p.fillPath(path, QColor(0, 0, 128));
}

void DrawMagnifier(QPainter& p, bool plus) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.drawLine(QPointF(12, 12), QPointF(18, 18));
  p.setPen(QPen(QColor(0, 0, 128), 2));
  p.drawLine(QPointF(5, 8), QPointF(11, 8));
  if (plus) p.drawLine(QPointF(8, 5), QPointF(8, 11));
}

QPixmap GlyphPixmap(TStandardGlyph glyph) {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case TStandardGlyph::sgPrint:
    case TStandardGlyph::sgPrinterSetup:
      DrawPage(p, QRectF(5.5, 1.5, 9, 7));
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(QColor(190, 190, 190));
      p.drawRoundedRect(QRectF(1.5, 8.5, 17, 7), 1.5, 1.5);
      DrawPage(p, QRectF(5.5, 13.5, 9, 5));
      if (glyph == TStandardGlyph::sgPrinterSetup) {
        p.setPen(QPen(QColor(0, 110, 0), 2));
        p.drawLine(QPointF(14, 3), QPointF(18, 7));
      }
      break;
    case TStandardGlyph::sgFirstPage:
      p.fillRect(QRectF(3, 4, 2, 12), QColor(0, 0, 128));
      DrawTriangle(p, 6, 4, 9, 12, true);
      break;
    case TStandardGlyph::sgPriorPage:
      DrawTriangle(p, 5, 4, 9, 12, true);
      break;
    case TStandardGlyph::sgNextPage:
      DrawTriangle(p, 6, 4, 9, 12, false);
      break;
    case TStandardGlyph::sgLastPage:
      DrawTriangle(p, 5, 4, 9, 12, false);
      p.fillRect(QRectF(15, 4, 2, 12), QColor(0, 0, 128));
      break;
    case TStandardGlyph::sgZoomOut:
      DrawMagnifier(p, false);
      break;
    case TStandardGlyph::sgZoomIn:
      DrawMagnifier(p, true);
      break;
    case TStandardGlyph::sgPageWhole:
      DrawPage(p, QRectF(5.5, 1.5, 9, 17));
      p.setPen(QPen(QColor(120, 120, 120), 1));
      for (int y = 5; y <= 15; y += 3) p.drawLine(QPointF(7.5, y + 0.5), QPointF(12.5, y + 0.5));
      break;
    case TStandardGlyph::sgPageWidth:
      DrawPage(p, QRectF(1.5, 3.5, 17, 13));
      p.setPen(QPen(QColor(0, 0, 128), 1.5));
      p.drawLine(QPointF(4, 10), QPointF(16, 10));
      DrawTriangle(p, 3, 7, 3, 6, true);
      DrawTriangle(p, 14, 7, 3, 6, false);
      break;
    case TStandardGlyph::sgClose:
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(QColor(150, 100, 60));
      p.drawRect(QRectF(4.5, 1.5, 11, 17));
      p.setBrush(QColor(230, 200, 60));
      p.drawEllipse(QRectF(12, 9, 2.5, 2.5));
      break;
    default:
      break;
  }
  return pixmap;
}

const TEnumNames<TStandardGlyph> kGlyphNames = {{TStandardGlyph::sgNone, "sgNone"},
                                                {TStandardGlyph::sgPrint, "sgPrint"},
                                                {TStandardGlyph::sgPrinterSetup, "sgPrinterSetup"},
                                                {TStandardGlyph::sgFirstPage, "sgFirstPage"},
                                                {TStandardGlyph::sgPriorPage, "sgPriorPage"},
                                                {TStandardGlyph::sgNextPage, "sgNextPage"},
                                                {TStandardGlyph::sgLastPage, "sgLastPage"},
                                                {TStandardGlyph::sgZoomOut, "sgZoomOut"},
                                                {TStandardGlyph::sgZoomIn, "sgZoomIn"},
                                                {TStandardGlyph::sgPageWhole, "sgPageWhole"},
                                                {TStandardGlyph::sgPageWidth, "sgPageWidth"},
                                                {TStandardGlyph::sgClose, "sgClose"}};

// ---- widgets ----------------------------------------------------------------------------------------------

class StatusBarWidget : public QWidget {
 public:
  explicit StatusBarWidget(TStatusBar* bar) : bar_(bar) {}
  QSizeGrip* grip = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    int x = 0;
    int gripWidth = grip != nullptr && grip->isVisible() ? grip->width() : 0;
    for (int i = 0; i < bar_->PanelCount(); ++i) {
      const TStatusPanel& panel = bar_->Panel(i);
      // The last panel reaches the right edge, as the window system's status bars have it.
      int right = i + 1 == bar_->PanelCount() ? width() - gripWidth : x + panel.Width;
      QRect r(x, 2, std::max(0, right - x - 2), height() - 3);
      p.setPen(ToQColor(clBtnShadow));
      p.drawLine(r.topLeft(), r.topRight());
      p.drawLine(r.topLeft(), r.bottomLeft());
      p.setPen(ToQColor(clBtnHighlight));
      p.drawLine(r.bottomLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomRight());
      p.setPen(palette().color(QPalette::WindowText));
      p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                 ToQString(panel.Text));
      x = right;
    }
  }
  void resizeEvent(QResizeEvent*) override {
    if (grip != nullptr) grip->move(width() - grip->width(), height() - grip->height());
  }

 private:
  TStatusBar* bar_;
};

class ImageWidget : public QWidget {
 public:
  explicit ImageWidget(TImage* image) : image_(image) {}

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  TImage* image_;
  QImage cache_;
  unsigned cacheGeneration_ = 0;
};

class ShapeWidget : public QWidget {
 public:
  explicit ShapeWidget(TShape* shape) : shape_(shape) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const TShape& s = *shape_;
    // The outline sits inside the bounds: half the pen width in from the edges, as GDI draws shapes.
    int penWidth = s.PenWidth();
    int x = penWidth / 2, y = x;
    int w = width() - penWidth + 1, h = height() - penWidth + 1;
    if (penWidth == 0) {
      --w;
      --h;
    }
    if (s.Shape() == TShapeType::stSquare || s.Shape() == TShapeType::stCircle) {
      int side = std::min(w, h);
      x += (w - side) / 2;
      y += (h - side) / 2;
      w = h = side;
    }
    bool pen = s.PenStyle() != TPenStyle::psClear;
    bool brush = s.BrushStyle() != TBrushStyle::bsClear;
    QRect r(x, y, w, h);  // GDI's right and bottom edges are exclusive
    if (brush) {
      p.setPen(Qt::NoPen);
      p.setBrush(ToQColor(s.BrushColor()));
      if (s.Shape() == TShapeType::stEllipse || s.Shape() == TShapeType::stCircle) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(r);
      } else {
        p.fillRect(r, ToQColor(s.BrushColor()));
      }
    }
    if (pen) {
      int pw = std::max(1, penWidth);
      QPen qpen(ToQColor(s.PenColor()), pw);
      qpen.setJoinStyle(Qt::MiterJoin);
      p.setPen(qpen);
      p.setBrush(Qt::NoBrush);
      // The pen's centre line, so that a pen of width pw covers exactly pw pixels inside r.
      QRectF outline(r.left() + pw / 2.0, r.top() + pw / 2.0, r.width() - pw, r.height() - pw);
      if (s.Shape() == TShapeType::stEllipse || s.Shape() == TShapeType::stCircle) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(outline);
      } else {
        p.drawRect(outline);
      }
    }
  }

 private:
  TShape* shape_;
};

TPopupMenu::TPopupHook& PopupHook() {
  static TPopupMenu::TPopupHook hook;
  return hook;
}

TComponent* FindSibling(const TComponent* c, const Cp932String& name) {
  TComponent* owner = c->Owner();
  return owner ? owner->FindComponent(name.Bytes()) : nullptr;
}

}  // namespace

// ---- TSpeedButton -----------------------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner) {
  auto* w = new QToolButton;
  w->setFocusPolicy(Qt::NoFocus);
  w->setIconSize(QSize(20, 20));
  QObject::connect(w, &QToolButton::clicked, w, [this] { Click(); });
  TControlAccess::Attach(*this, w);
  UpdateIcon();
}

void TSpeedButton::SetGlyph(TStandardGlyph glyph) {
  FGlyph = glyph;
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  w->setIcon(glyph == TStandardGlyph::sgNone ? QIcon() : QIcon(GlyphPixmap(glyph)));
  UpdateIcon();
}

void TSpeedButton::SetGlyphImage(std::string_view imageBytes) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(imageBytes.data()), static_cast<int>(imageBytes.size()));
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  w->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
  UpdateIcon();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
  FLayout = layout;
  UpdateIcon();
}

void TSpeedButton::SetFlat(bool flat) {
  FFlat = flat;
  static_cast<QToolButton*>(WidgetOf(this))->setAutoRaise(flat);
}

void TSpeedButton::UpdateIcon() {
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  bool hasIcon = !w->icon().isNull();
  bool hasText = !Caption().IsEmpty();
  if (hasIcon && hasText) {
    w->setToolButtonStyle(FLayout == TButtonLayout::blGlyphTop || FLayout == TButtonLayout::blGlyphBottom
                              ? Qt::ToolButtonTextUnderIcon
                              : Qt::ToolButtonTextBesideIcon);
  } else {
    w->setToolButtonStyle(hasIcon ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
  }
}

void TSpeedButton::CaptionChanged() {
  static_cast<QToolButton*>(WidgetOf(this))->setText(ToQString(Caption()));
  UpdateIcon();
}

void TSpeedButton::Click() {
  if (!Enabled()) return;
  TControl::Click();
}

void TSpeedButton::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  DefineEnumProperty<TStandardGlyph>(
      filer, "Glyph", kGlyphNames, [this] { return FGlyph; }, [this](TStandardGlyph g) { SetGlyph(g); },
      FGlyph != TStandardGlyph::sgNone);
  DefineEnumProperty<TButtonLayout>(
      filer, "Layout",
      {{TButtonLayout::blGlyphLeft, "blGlyphLeft"},
       {TButtonLayout::blGlyphRight, "blGlyphRight"},
       {TButtonLayout::blGlyphTop, "blGlyphTop"},
       {TButtonLayout::blGlyphBottom, "blGlyphBottom"}},
      [this] { return FLayout; }, [this](TButtonLayout l) { SetLayout(l); },
      FLayout != TButtonLayout::blGlyphLeft);
  filer.Boolean(
      "Flat", [this] { return FFlat; }, [this](bool v) { SetFlat(v); }, FFlat);
  filer.Integer(
      "NumGlyphs", [this] { return FNumGlyphs; }, [this](int v) { SetNumGlyphs(v); }, FNumGlyphs != 1);
}

// ---- TToolBar ---------------------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  auto* w = new QWidget;
  w->setAutoFillBackground(true);
  TControlAccess::Attach(*this, w);
  SetTabStop(false);
}

void TToolBar::SetButtonHeight(int h) {
  FButtonHeight = h;
  ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
  if (FArranging) return;
  FArranging = true;
  int x = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    // Buttons on a flat bar are flat themselves.
    if (auto* button = dynamic_cast<TSpeedButton*>(c); button != nullptr && FFlat) button->SetFlat(true);
    c->SetBounds(x, 0, c->Width(), FButtonHeight);
    x += c->Width();
  }
  FArranging = false;
}

void TToolBar::ControlChanged(TControl* /*control*/) {
  ArrangeButtons();
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  ArrangeButtons();
}

void TToolBar::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.Integer(
      "ButtonHeight", [this] { return FButtonHeight; }, [this](int v) { SetButtonHeight(v); });
  filer.Boolean(
      "Flat", [this] { return FFlat; }, [this](bool v) { SetFlat(v); }, FFlat);
  filer.Boolean(
      "Wrapable", [this] { return FWrapable; }, [this](bool v) { SetWrapable(v); }, !FWrapable);
}

// ---- TStatusBar -------------------------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  auto* w = new StatusBarWidget(this);
  w->grip = new QSizeGrip(w);
  w->grip->resize(w->grip->sizeHint());
  TControlAccess::Attach(*this, w);
  SetTabStop(false);
  SetAlign(TAlign::alBottom);
}

void TStatusBar::SetPanels(const std::vector<TStatusPanel>& panels) {
  FPanels = panels;
  Invalidate();
}

void TStatusBar::SetPanelText(int index, const Cp932String& text) {
  FPanels.at(static_cast<std::size_t>(index)).Text = text;
  Invalidate();
}

void TStatusBar::SetPanelWidth(int index, int width) {
  FPanels.at(static_cast<std::size_t>(index)).Width = width;
  Invalidate();
}

void TStatusBar::SetSizeGrip(bool grip) {
  FSizeGrip = grip;
  auto* w = static_cast<StatusBarWidget*>(WidgetOf(this));
  w->grip->setVisible(grip);
  w->update();
}

void TStatusBar::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.DefineProperty(
      "Panels",
      [this](TReader& r) {
        std::vector<TStatusPanel> panels;
        r.ReadListBegin();
        while (!r.EndOfList()) {
          TStatusPanel panel;
          r.ReadListBegin();
          panel.Width = r.ReadInteger();
          if (!r.EndOfList()) panel.Text = r.ReadString();
          r.ReadListEnd();
          panels.push_back(panel);
        }
        r.ReadListEnd();
        SetPanels(panels);
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (const TStatusPanel& p : FPanels) {
          w.WriteListBegin();
          w.WriteInteger(p.Width);
          w.WriteString(p.Text);
          w.WriteListEnd();
        }
        w.WriteListEnd();
      },
      !FPanels.empty());
  filer.Boolean(
      "SizeGrip", [this] { return FSizeGrip; }, [this](bool v) { SetSizeGrip(v); }, !FSizeGrip);
}

// ---- TScrollBox -------------------------------------------------------------------------------------------

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

// ---- TImage -----------------------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TControl(owner) {
  TControlAccess::Attach(*this, new ImageWidget(this));
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  ++FGeneration;
  Invalidate();
}

void TImage::SetPicture(const TMetafile& picture) {
  FPicture = picture;
  ++FGeneration;
  Invalidate();
}

void TImage::ClearPicture() {
  FPicture.Clear();
  ++FGeneration;
  Invalidate();
}

void TImage::SetPaper(TColor color, const TRect* clip, int extentX, int extentY) {
  FHasPaper = true;
  FPaperColor = color;
  FHasClip = clip != nullptr && extentX > 0 && extentY > 0;
  if (FHasClip) {
    FClip = *clip;
    FClipExtentX = extentX;
    FClipExtentY = extentY;
  }
  ++FGeneration;
  Invalidate();
}

void TImage::ClearPaper() {
  FHasPaper = false;
  FHasClip = false;
  ++FGeneration;
  Invalidate();
}

// Plays what an image control shows into pixels.
class TImagePainter {
 public:
  static unsigned Generation(const TImage& image) { return image.FGeneration; }
  // The control as it shows at `pixelRatio` device pixels per pixel, into an image of that many pixels.
  static QImage Paint(const TImage& image, int width, int height, double pixelRatio) {
    QSize pixels(std::max(0, static_cast<int>(std::ceil(width * pixelRatio))),
                 std::max(0, static_cast<int>(std::ceil(height * pixelRatio))));
    QImage out(pixels, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    out.fill(Qt::transparent);
    if (!image.HasPicture() && !image.FHasPaper) return out;
    QPainter p(&out);
    if (image.FHasPaper) p.fillRect(QRect(QPoint(0, 0), pixels), ToQColor(image.FPaperColor));
    if (!image.HasPicture()) return out;
    const TMetafile& picture = image.FPicture;
    TRect target = image.FStretch ? Rect(0, 0, pixels.width(), pixels.height())
                                  : Rect(0, 0, static_cast<int>(std::lround(picture.Width() * pixelRatio)),
                                         static_cast<int>(std::lround(picture.Height() * pixelRatio)));
    if (image.FHasClip) {
      double sx = static_cast<double>(target.Right - target.Left) / image.FClipExtentX;
      double sy = static_cast<double>(target.Bottom - target.Top) / image.FClipExtentY;
      p.setClipRect(QRectF(image.FClip.Left * sx, image.FClip.Top * sy,
                           (image.FClip.Right - image.FClip.Left) * sx,
                           (image.FClip.Bottom - image.FClip.Top) * sy));
    }
    std::unique_ptr<TCanvas> canvas = MakePainterCanvas(p, DescribePaintDevice(out));
    ++image.FPlayCount;
    // A recording that cannot be played shows as an empty picture; the page data stays with its owner.
    (void)canvas->StretchDraw(target, picture);
    return out;
  }
};

TBitmap24 TImage::Render(double pixelRatio) const {
  QImage image = TImagePainter::Paint(*this, Width(), Height(), pixelRatio);
  TBitmap24 bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = line[x];
      // Transparent pixels show the parent's colour; the bitmap shows them white.
      int a = qAlpha(c);
      auto blend = [a](int v) { return v + (255 - a); };
      bitmap.SetPixel(x, y,
                      static_cast<std::uint32_t>(blend(qRed(c))) |
                          (static_cast<std::uint32_t>(blend(qGreen(c))) << 8) |
                          (static_cast<std::uint32_t>(blend(qBlue(c))) << 16));
    }
  }
  return bitmap;
}

void ImageWidget::paintEvent(QPaintEvent*) {
  if (!image_->HasPicture() && !image_->HasPaper()) return;
  // The picture is played once per size and pixel ratio at the screen's device pixels; repaints while
  // scrolling or dragging show the kept pixels. Very large pictures (far zoomed in) are played straight
  // onto the window instead of being kept, to bound the memory.
  const double ratio = devicePixelRatioF();
  const double pixels = width() * ratio * height() * ratio;
  QPainter p(this);
  if (pixels > 24.0 * 1024 * 1024) {
    cache_ = QImage();
    QImage part = TImagePainter::Paint(*image_, width(), height(), 1.0);
    p.drawImage(0, 0, part);
    return;
  }
  QSize want(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
  if (cache_.isNull() || cache_.size() != want || cacheGeneration_ != TImagePainter::Generation(*image_)) {
    cache_ = TImagePainter::Paint(*image_, width(), height(), ratio);
    cache_.setDevicePixelRatio(ratio);
    cacheGeneration_ = TImagePainter::Generation(*image_);
  }
  p.drawImage(0, 0, cache_);
}

void TImage::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  filer.Boolean(
      "Stretch", [this] { return FStretch; }, [this](bool v) { SetStretch(v); }, FStretch);
}

// ---- TShape -----------------------------------------------------------------------------------------------

TShape::TShape(TComponent* owner) : TControl(owner) {
  auto* w = new ShapeWidget(this);
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  TControlAccess::Attach(*this, w);
}

void TShape::Changed() {
  Invalidate();
}
void TShape::SetShape(TShapeType shape) {
  FShape = shape;
  Changed();
}
void TShape::SetPenColor(TColor color) {
  FPenColor = color;
  Changed();
}
void TShape::SetPenWidth(int width) {
  FPenWidth = std::max(0, width);
  Changed();
}
void TShape::SetPenStyle(TPenStyle style) {
  FPenStyle = style;
  Changed();
}
void TShape::SetBrushColor(TColor color) {
  FBrushColor = color;
  Changed();
}
void TShape::SetBrushStyle(TBrushStyle style) {
  FBrushStyle = style;
  Changed();
}

void TShape::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineEnumProperty<TShapeType>(
      filer, "Shape",
      {{TShapeType::stRectangle, "stRectangle"},
       {TShapeType::stSquare, "stSquare"},
       {TShapeType::stRoundRect, "stRoundRect"},
       {TShapeType::stEllipse, "stEllipse"},
       {TShapeType::stCircle, "stCircle"}},
      [this] { return FShape; }, [this](TShapeType s) { SetShape(s); }, FShape != TShapeType::stRectangle);
  filer.Integer(
      "Pen.Color", [this] { return static_cast<int>(FPenColor); }, [this](int v) { SetPenColor(v); },
      FPenColor != clBlack);
  filer.Integer(
      "Pen.Width", [this] { return FPenWidth; }, [this](int v) { SetPenWidth(v); }, FPenWidth != 1);
  DefineEnumProperty<TPenStyle>(
      filer, "Pen.Style", {{TPenStyle::psSolid, "psSolid"}, {TPenStyle::psClear, "psClear"}},
      [this] { return FPenStyle; }, [this](TPenStyle s) { SetPenStyle(s); }, FPenStyle != TPenStyle::psSolid);
  filer.Integer(
      "Brush.Color", [this] { return static_cast<int>(FBrushColor); }, [this](int v) { SetBrushColor(v); },
      FBrushColor != clWhite);
  DefineEnumProperty<TBrushStyle>(
      filer, "Brush.Style", {{TBrushStyle::bsSolid, "bsSolid"}, {TBrushStyle::bsClear, "bsClear"}},
      [this] { return FBrushStyle; }, [this](TBrushStyle s) { SetBrushStyle(s); },
      FBrushStyle != TBrushStyle::bsSolid);
}

// ---- TMenuItem and TPopupMenu -----------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (FMenu != nullptr) FMenu->Remove(this);
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (OnClick) Application().RunHandler(this, [this] { OnClick(this); });
}

void TMenuItem::DefineProperties(TFiler& filer) {
  filer.String(
      "Menu", [this] { return FMenu ? Cp932String::FromBytes(FMenu->Name()) : Cp932String(); },
      [this](const Cp932String& name) {
        auto* menu = dynamic_cast<TPopupMenu*>(FindSibling(this, name));
        if (menu == nullptr) throw EReadError(Cp932String::FromBytes("Menu " + name.Bytes() + " not found"));
        menu->Add(this);
      },
      FMenu != nullptr);
  filer.String(
      "Caption", [this] { return FCaption; }, [this](const Cp932String& v) { SetCaption(v); },
      !FCaption.IsEmpty());
  filer.Boolean(
      "Enabled", [this] { return FEnabled; }, [this](bool v) { SetEnabled(v); }, !FEnabled);
  filer.Boolean(
      "Visible", [this] { return FVisible; }, [this](bool v) { SetVisible(v); }, !FVisible);
  DefineEvent(filer, "OnClick", this, OnClick, FOnClickName);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* item : FItems) item->FMenu = nullptr;
}

void TPopupMenu::Add(TMenuItem* item) {
  if (item->FMenu == this) return;
  if (item->FMenu != nullptr) item->FMenu->Remove(item);
  FItems.push_back(item);
  item->FMenu = this;
}

void TPopupMenu::Remove(TMenuItem* item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  if (item->FMenu == this) item->FMenu = nullptr;
}

TPopupMenu::TPopupHook TPopupMenu::SetPopupHook(TPopupHook hook) {
  std::swap(hook, PopupHook());
  return hook;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) Application().RunHandler(this, [this] { OnPopup(this); });
  if (PopupHook()) {
    PopupHook()(this, TPoint{x, y});
    return;
  }
  QMenu menu;
  std::vector<std::pair<QAction*, TMenuItem*>> actions;
  for (TMenuItem* item : FItems) {
    if (!item->Visible()) continue;
    QString caption = ToQString(item->Caption());
    QAction* action = caption == QStringLiteral("-") ? menu.addSeparator() : menu.addAction(caption);
    action->setEnabled(item->Enabled());
    actions.emplace_back(action, item);
  }
  QAction* chosen = menu.exec(QPoint(x, y));
  for (auto& [action, item] : actions) {
    if (action == chosen) item->Click();
  }
}

void TPopupMenu::DefineProperties(TFiler& filer) {
  DefineEnumProperty<TMenuAutoHotkeys>(
      filer, "AutoHotkeys",
      {{TMenuAutoHotkeys::maAutomatic, "maAutomatic"}, {TMenuAutoHotkeys::maManual, "maManual"}},
      [this] { return FAutoHotkeys; }, [this](TMenuAutoHotkeys v) { SetAutoHotkeys(v); },
      FAutoHotkeys != TMenuAutoHotkeys::maAutomatic);
  DefineEvent(filer, "OnPopup", this, OnPopup, FOnPopupName);
}

}  // namespace tess
