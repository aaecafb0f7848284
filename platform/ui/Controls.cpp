#include "platform/ui/Controls.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "platform/components/StoredEnum.h"
#include "platform/gfx/FontFaces.h"
#include "platform/ui/Application.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/internal/ControlEvents.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

constexpr const char* kControlProperty = "tessControl";

const TEnumNames<TAlign> kAlignNames = {{TAlign::alNone, "alNone"},     {TAlign::alTop, "alTop"},
                                        {TAlign::alBottom, "alBottom"}, {TAlign::alLeft, "alLeft"},
                                        {TAlign::alRight, "alRight"},   {TAlign::alClient, "alClient"}};

// A panel's look: a bevelled border drawn like the window system's 3-D frames.
class PanelWidget : public QWidget {
 public:
  TBevelCut cut = TBevelCut::bvRaised;
  QString text;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect r = rect();
    if (cut == TBevelCut::bvLowered || cut == TBevelCut::bvRaised) {
      QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
      if (cut == TBevelCut::bvLowered) std::swap(light, dark);
      p.setPen(light);
      p.drawLine(r.topLeft(), r.topRight());
      p.drawLine(r.topLeft(), r.bottomLeft());
      p.setPen(dark);
      p.drawLine(r.bottomLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomRight());
    }
    if (!text.isEmpty()) p.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, text);
  }
};

}  // namespace

// ---- toolkit helpers -------------------------------------------------------------------------------------

QString ToQString(const Cp932String& text) {
  return QString::fromStdString(text.ToUtf8());
}
Cp932String FromQString(const QString& text) {
  return Cp932String::FromUtf8(text.toStdString());
}

QColor ToQColor(TColor color) {
  std::uint32_t rgb = ColorToRGB(color);
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

QFont ToQFont(const TControlFont& font) {
  QFont f;
  // The control's own face first; Japanese text falls back to a Japanese face with full-width digits and
  // kana (as the system's own fallback for a Latin face does) rather than to a proportional one.
  f.setFamilies({QString::fromStdString(InstalledFaceFor(font.Name)), QStringLiteral("IPAGothic")});
  // Negative heights are character (em) heights; positive ones are cell heights, about 1.16 em.
  // A design may hold any height; the toolkit gets a sane pixel size (1 .. 1000).
  long long height = font.Height;
  long long pixels = height < 0 ? -height : (height * 100 + 58) / 116;
  if (height == 0) pixels = 12;
  pixels = std::clamp(pixels, 1LL, 1000LL);
  f.setPixelSize(static_cast<int>(pixels));
  f.setBold((font.Style & fsBold) != 0);
  f.setItalic((font.Style & fsItalic) != 0);
  f.setUnderline((font.Style & fsUnderline) != 0);
  f.setStrikeOut((font.Style & fsStrikeOut) != 0);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QWidget* WidgetOf(const TControl* control) {
  return control && control->Handle() ? control->Handle()->widget.data() : nullptr;
}

QWidget* ClientWidgetOf(const TControl* control) {
  if (!control || !control->Handle()) return nullptr;
  return control->Handle()->client ? control->Handle()->client.data() : control->Handle()->widget.data();
}

TControl* ControlOfWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    QVariant v = w->property(kControlProperty);
    if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
  }
  return nullptr;
}

void TControlAccess::Attach(TControl& control, QWidget* widget, QWidget* client, QWidget* eventSource) {
  auto handle = std::make_unique<TWidgetHandle>();
  handle->widget = widget;
  handle->client = client;
  handle->eventSource = eventSource;
  control.SetHandle(std::move(handle));
}

void TControlAccess::Place(TControl& control) {
  control.PlaceWidget();
}

QPoint TControlAccess::ToClientWidget(const TControl& control, TPoint client) {
  const TPoint origin = control.ClientWidgetOrigin();
  return QPoint(client.X + origin.X, client.Y + origin.Y);
}

TPoint TControlAccess::FromClientWidget(const TControl& control, QPoint widget) {
  const TPoint origin = control.ClientWidgetOrigin();
  return TPoint{widget.x() - origin.X, widget.y() - origin.Y};
}

void TControlAccess::Restack(TWinControl& parent) {
  // Graphic controls are drawn on the parent under every windowed control, in their own order.
  for (TControl* c : parent.FControls) {
    if (c->IsGraphicControl() && WidgetOf(c)) WidgetOf(c)->raise();
  }
  for (TControl* c : parent.FControls) {
    if (!c->IsGraphicControl() && WidgetOf(c)) WidgetOf(c)->raise();
  }
}

// ---- TControlFont -----------------------------------------------------------------------------------------

void TControlFont::DefineProperties(TFiler& filer, const std::string& prefix,
                                    const std::function<void()>& changed, bool hasData) {
  filer.String(
      prefix + "Name", [this] { return Name; },
      [this, changed](const Cp932String& v) {
        Name = v;
        changed();
      },
      hasData);
  filer.Integer(
      prefix + "Height", [this] { return Height; },
      [this, changed](int v) {
        Height = v;
        changed();
      },
      hasData);
  DefineSetProperty(
      filer, prefix + "Style",
      {{fsBold, "fsBold"},
       {fsItalic, "fsItalic"},
       {fsUnderline, "fsUnderline"},
       {fsStrikeOut, "fsStrikeOut"}},
      [this] { return Style; },
      [this, changed](unsigned v) {
        Style = v;
        changed();
      },
      hasData);
  filer.Integer(
      prefix + "Color", [this] { return static_cast<int>(Color); },
      [this, changed](int v) {
        Color = v;
        changed();
      },
      hasData);
  filer.Integer(
      prefix + "Charset", [this] { return Charset; },
      [this, changed](int v) {
        Charset = v;
        changed();
      },
      hasData);
}

// ---- TControl ---------------------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  ForgetDragControl(this);
  if (FPopupMenu != nullptr) FPopupMenu = nullptr;
  if (FParent != nullptr) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    FParent = nullptr;
  }
  FHandle.reset();  // deletes the widget unless its parent's widget already did
}

void TControl::SetHandle(std::unique_ptr<TWidgetHandle> handle) {
  FHandle = std::move(handle);
  QWidget* w = FHandle->widget;
  w->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
  QObject* forwarder = MakeEventForwarder(this);
  forwarder->setParent(w);
  w->installEventFilter(forwarder);
  QWidget* source = FHandle->eventSource ? FHandle->eventSource.data() : FHandle->client.data();
  if (source != nullptr && source != w) source->installEventFilter(forwarder);
  w->setAttribute(Qt::WA_DeleteOnClose, false);
  // A control owned by a windowed control that is not a window of its own starts on it.
  if (FParent == nullptr && !IsTopLevel()) {
    if (auto* owner = dynamic_cast<TWinControl*>(Owner())) SetParent(owner);
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent != nullptr) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  FParent = parent;
  if (FParent != nullptr) FParent->FControls.push_back(this);
  if (QWidget* w = WidgetOf(this)) {
    w->setParent(FParent ? ClientWidgetOf(FParent) : nullptr);
    PlaceWidget();
    w->setVisible(FVisible && FParent != nullptr);
  }
  ApplyFont();
  if (FParent != nullptr) {
    TControlAccess::Restack(*FParent);
    if (FAlign != TAlign::alNone) FParent->Realign();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged();
}

void TControl::PlaceWidget() {
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return;
  const TPoint origin = FParent != nullptr ? FParent->ClientWidgetOrigin() : TPoint{};
  w->setGeometry(FLeft + origin.X, FTop + origin.Y, FWidth, FHeight);
}

void TControl::BoundsChanged() {
  PlaceWidget();
  if (FParent != nullptr && FAlign != TAlign::alNone) FParent->Realign();
  if (FParent != nullptr) FParent->ControlChanged(this);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  QWidget* w = ClientWidgetOf(this);
  if (w == nullptr) return p;
  QPoint g = w->mapToGlobal(TControlAccess::ToClientWidget(*this, p));
  return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  QWidget* w = ClientWidgetOf(this);
  if (w == nullptr) return p;
  return TControlAccess::FromClientWidget(*this, w->mapFromGlobal(QPoint(p.X, p.Y)));
}

void TControl::SetVisible(bool visible) {
  FVisible = visible;
  if (QWidget* w = WidgetOf(this)) {
    if (FParent != nullptr) w->setVisible(visible);
  }
  if (FParent != nullptr && FAlign != TAlign::alNone) FParent->Realign();
  if (FParent != nullptr) FParent->ControlChanged(this);
}

bool TControl::Showing() const {
  QWidget* w = WidgetOf(this);
  return w != nullptr && w->isVisible();
}

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (QWidget* w = WidgetOf(this)) w->setEnabled(enabled);
}

void TControl::SetCaption(const Cp932String& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  CaptionChanged();
}

void TControl::SetHint(const Cp932String& hint) {
  FHint = hint;
  if (QWidget* w = WidgetOf(this)) w->setToolTip(FShowHint ? ToQString(hint) : QString());
}

void TControl::SetShowHint(bool show) {
  FShowHint = show;
  SetHint(FHint);
}

void TControl::SetColor(TColor color) {
  FColor = color;
  ColorChanged();
}

void TControl::SetFont(const TControlFont& font) {
  FFont = font;
  FParentFont = false;
  FontChanged();
}

void TControl::SetParentFont(bool parentFont) {
  FParentFont = parentFont;
  FontChanged();
}

void TControl::FontChanged() {
  ApplyFont();
}

void TControl::ApplyFont() {
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return;
  if (FParentFont && FParent != nullptr) {
    w->setFont(QFont());  // inherit from the parent widget
    FFont = FParent->Font();
  } else {
    w->setFont(ToQFont(FFont));
  }
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, ToQColor(Font().Color));
  pal.setColor(QPalette::ButtonText, ToQColor(Font().Color));
  w->setPalette(pal);
  if (auto* win = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < win->ControlCount(); ++i) {
      if (win->Controls(i)->ParentFont()) win->Controls(i)->ApplyFont();
    }
  }
}

void TControl::SetAlign(TAlign align) {
  FAlign = align;
  if (FParent != nullptr) FParent->Realign();
}

void TControl::SetCursor(TCursor cursor) {
  FCursor = cursor;
  ApplyCursor(cursor, WidgetOf(this));
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (FPopupMenu != nullptr) RemoveFreeNotification(static_cast<TComponent*>(FPopupMenu));
  FPopupMenu = menu;
  if (menu != nullptr) FreeNotification(static_cast<TComponent*>(menu));
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == static_cast<TComponent*>(FPopupMenu)) {
    FPopupMenu = nullptr;
  }
}

void TControl::Invalidate() {
  if (QWidget* w = WidgetOf(this)) w->update();
}

void TControl::Repaint() {
  if (QWidget* w = WidgetOf(this)) w->repaint();
}

void TControl::BringToFront() {
  if (QWidget* w = WidgetOf(this)) w->raise();
}

void TControl::SendToBack() {
  if (QWidget* w = WidgetOf(this)) w->lower();
}

void TControl::Click() {
  if (OnClick) Application().RunHandler(this, [&] { OnClick(this); });
}

void TControl::DefineBoundsProperties(TFiler& filer) {
  filer.Integer(
      "Left", [this] { return FLeft; }, [this](int v) { SetLeft(v); });
  filer.Integer(
      "Top", [this] { return FTop; }, [this](int v) { SetTop(v); });
  filer.Integer(
      "Width", [this] { return FWidth; }, [this](int v) { SetWidth(v); });
  filer.Integer(
      "Height", [this] { return FHeight; }, [this](int v) { SetHeight(v); });
}

void TControl::DefineCaptionProperty(TFiler& filer, const char* name) {
  filer.String(
      name, [this] { return FCaption; }, [this](const Cp932String& v) { SetCaption(v); },
      !FCaption.IsEmpty());
}

void TControl::DefineMouseEvents(TFiler& filer) {
  DefineEvent(filer, "OnClick", this, OnClick, FOnClickName);
  DefineEvent(filer, "OnDblClick", this, OnDblClick, FOnDblClickName);
  DefineEvent(filer, "OnMouseDown", this, OnMouseDown, FOnMouseDownName);
  DefineEvent(filer, "OnMouseUp", this, OnMouseUp, FOnMouseUpName);
  DefineEvent(filer, "OnMouseMove", this, OnMouseMove, FOnMouseMoveName);
  DefineEvent(filer, "OnDragOver", this, OnDragOver, FOnDragOverName);
  DefineEvent(filer, "OnDragDrop", this, OnDragDrop, FOnDragDropName);
  DefineEvent(filer, "OnEndDrag", this, OnEndDrag, FOnEndDragName);
  DefineEvent(filer, "OnResize", this, OnResize, FOnResizeName);
}

void TControl::DefineProperties(TFiler& filer) {
  filer.String(
      "Parent", [this] { return FParent ? Cp932String::FromBytes(FParent->Name()) : Cp932String(); },
      [this](const Cp932String& name) {
        TComponent* root = Owner();
        TComponent* found = root ? root->FindComponent(name.Bytes()) : nullptr;
        if (found == nullptr && root != nullptr && root->Name() == name.Bytes()) found = root;
        auto* parent = dynamic_cast<TWinControl*>(found);
        if (parent == nullptr)
          throw EReadError(Cp932String::FromBytes("Parent " + name.Bytes() + " not found"));
        SetParent(parent);
      },
      FParent != nullptr && FParent != Owner());
  DefineEnumProperty<TAlign>(
      filer, "Align", kAlignNames, [this] { return FAlign; }, [this](TAlign a) { SetAlign(a); },
      FAlign != TAlign::alNone);
  DefineBoundsProperties(filer);
  filer.Boolean(
      "Visible", [this] { return FVisible; }, [this](bool v) { SetVisible(v); }, !FVisible);
  filer.Boolean(
      "Enabled", [this] { return FEnabled; }, [this](bool v) { SetEnabled(v); }, !FEnabled);
  filer.String(
      "Hint", [this] { return FHint; }, [this](const Cp932String& v) { SetHint(v); }, !FHint.IsEmpty());
  filer.Boolean(
      "ShowHint", [this] { return FShowHint; }, [this](bool v) { SetShowHint(v); }, FShowHint);
  filer.Integer(
      "Color", [this] { return static_cast<int>(FColor); }, [this](int v) { SetColor(v); },
      FColor != clBtnFace);
  filer.Boolean(
      "ParentFont", [this] { return FParentFont; }, [this](bool v) { SetParentFont(v); }, !FParentFont);
  FFont.DefineProperties(
      filer, "Font.",
      [this] {
        FParentFont = false;
        FontChanged();
      },
      !FParentFont);
  filer.String(
      "PopupMenu",
      [this] {
        return FPopupMenu ? Cp932String::FromBytes(static_cast<TComponent*>(FPopupMenu)->Name())
                          : Cp932String();
      },
      [this](const Cp932String& name) {
        TComponent* root = Owner();
        TComponent* found = root ? root->FindComponent(name.Bytes()) : nullptr;
        if (found == nullptr || std::string(found->ClassName()) != "TPopupMenu") {
          throw EReadError(Cp932String::FromBytes("PopupMenu " + name.Bytes() + " not found"));
        }
        SetPopupMenu(dynamic_cast<TPopupMenu*>(found));
      },
      FPopupMenu != nullptr);
  filer.Boolean(
      "DragAutomatic", [this] { return FDragMode == TDragMode::dmAutomatic; },
      [this](bool v) { FDragMode = v ? TDragMode::dmAutomatic : TDragMode::dmManual; },
      FDragMode == TDragMode::dmAutomatic);
  DefineMouseEvents(filer);
}

void TControl::Loaded() {
  ApplyFont();
  ColorChanged();
}

// ---- TWinControl ------------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children are freed by their owner; they must not reach back into this half-destroyed parent.
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
}

void TWinControl::SetTabOrder(int order) {
  FTabOrder = order;
  if (FParent != nullptr && !HasState(csReading)) FParent->UpdateTabOrder();
}

void TWinControl::SetTabStop(bool stop) {
  FTabStop = stop;
  if (QWidget* w = WidgetOf(this)) {
    if (!stop) w->setFocusPolicy(Qt::NoFocus);
  }
}

bool TWinControl::Focused() const {
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return false;
  QWidget* f = QApplication::focusWidget();
  return f != nullptr && (f == w || w->isAncestorOf(f));
}

void TWinControl::SetFocus() {
  if (QWidget* w = WidgetOf(this)) w->setFocus(Qt::OtherFocusReason);
}

void TWinControl::UpdateTabOrder() {
  std::vector<TWinControl*> ordered;
  for (TControl* c : FControls) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w != nullptr && w->FTabStop && WidgetOf(w) != nullptr) ordered.push_back(w);
  }
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->FTabOrder < b->FTabOrder; });
  // The chain runs through the widgets that take the focus: the control's own widget, or, for a control
  // made of several (a radio group's buttons), those in their order.
  std::vector<QWidget*> chain;
  for (TWinControl* c : ordered) {
    QWidget* w = WidgetOf(c);
    if (w->focusPolicy() != Qt::NoFocus) {
      chain.push_back(w);
      continue;
    }
    for (QObject* child : w->children()) {
      auto* cw = qobject_cast<QWidget*>(child);
      if (cw != nullptr && cw->focusPolicy() != Qt::NoFocus && ControlOfWidget(cw) == c) chain.push_back(cw);
    }
  }
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void TWinControl::Realign() {
  QWidget* client = ClientWidgetOf(this);
  if (client == nullptr) return;
  // A panel's bevel and border take room from its aligned children.
  int inset = 0;
  if (auto* panel = dynamic_cast<TPanel*>(this)) {
    inset = (panel->BevelOuter() != TBevelCut::bvNone ? 1 : 0) + std::max(0, panel->BorderWidth());
  }
  QRect area(inset, inset, ClientWidth() - 2 * inset, ClientHeight() - 2 * inset);
  auto place = [](TControl* c, int l, int t, int w, int h) {
    c->FLeft = l;
    c->FTop = t;
    c->FWidth = std::max(0, w);
    c->FHeight = std::max(0, h);
    c->PlaceWidget();
    // A placed container places its own aligned children in turn (a scroll box in a panel, say).
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
      wc->Realign();
      wc->ControlChanged(nullptr);
    }
  };
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* c : FControls) {
      if (c->FAlign != pass || !c->FVisible) continue;
      switch (pass) {
        case TAlign::alTop:
          place(c, area.left(), area.top(), area.width(), c->FHeight);
          area.setTop(area.top() + c->FHeight);
          break;
        case TAlign::alBottom:
          place(c, area.left(), area.bottom() + 1 - c->FHeight, area.width(), c->FHeight);
          area.setBottom(area.bottom() - c->FHeight);
          break;
        case TAlign::alLeft:
          place(c, area.left(), area.top(), c->FWidth, area.height());
          area.setLeft(area.left() + c->FWidth);
          break;
        case TAlign::alRight:
          place(c, area.right() + 1 - c->FWidth, area.top(), c->FWidth, area.height());
          area.setRight(area.right() - c->FWidth);
          break;
        default:
          place(c, area.left(), area.top(), area.width(), area.height());
          break;
      }
    }
  }
}

void TWinControl::BoundsChanged() {
  TControl::BoundsChanged();
  Realign();
}

void TWinControl::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  filer.Integer(
      "TabOrder", [this] { return FTabOrder; }, [this](int v) { SetTabOrder(v); }, FTabOrder >= 0);
  filer.Boolean(
      "TabStop", [this] { return FTabStop; }, [this](bool v) { SetTabStop(v); }, !FTabStop);
  filer.Boolean(
      "DoubleBuffered", [this] { return FDoubleBuffered; }, [this](bool v) { FDoubleBuffered = v; },
      FDoubleBuffered);
  DefineEvent(filer, "OnMouseWheel", this, OnMouseWheel, FOnMouseWheelName);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  TControlAccess::Restack(*this);
  UpdateTabOrder();
  Realign();
}

// ---- TPanel -----------------------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  auto* w = new PanelWidget;
  w->setAutoFillBackground(true);
  TControlAccess::Attach(*this, w);
  SetTabStop(false);
  TPanel::ColorChanged();  // this class's own version: a descendant is not built yet
}

void TPanel::SetBevelOuter(TBevelCut cut) {
  FBevelOuter = cut;
  if (auto* w = static_cast<PanelWidget*>(WidgetOf(this))) {
    w->cut = cut;
    w->update();
  }
}

void TPanel::SetBorderWidth(int width) {
  FBorderWidth = width;
}

void TPanel::CaptionChanged() {
  if (auto* w = static_cast<PanelWidget*>(WidgetOf(this))) {
    w->text = ToQString(Caption());
    w->update();
  }
}

void TPanel::ColorChanged() {
  if (QWidget* w = WidgetOf(this)) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    w->setPalette(pal);
  }
}

void TPanel::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  DefineEnumProperty<TBevelCut>(
      filer, "BevelOuter",
      {{TBevelCut::bvNone, "bvNone"},
       {TBevelCut::bvLowered, "bvLowered"},
       {TBevelCut::bvRaised, "bvRaised"},
       {TBevelCut::bvSpace, "bvSpace"}},
      [this] { return FBevelOuter; }, [this](TBevelCut c) { SetBevelOuter(c); },
      FBevelOuter != TBevelCut::bvRaised);
  filer.Integer(
      "BorderWidth", [this] { return FBorderWidth; }, [this](int v) { SetBorderWidth(v); },
      FBorderWidth != 0);
}

}  // namespace tess
