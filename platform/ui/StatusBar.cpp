#include "platform/ui/StatusBar.h"

#include <QPainter>
#include <QSizeGrip>
#include <QWidget>

#include <algorithm>

#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

class StatusBarWidget : public QWidget {
 public:
  explicit StatusBarWidget(TStatusBar* bar) : FBar(bar) {}
  QSizeGrip* grip = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    int x = 0;
    int gripWidth = grip != nullptr && grip->isVisible() ? grip->width() : 0;
    for (int i = 0; i < FBar->PanelCount(); ++i) {
      const TStatusPanel& panel = FBar->Panel(i);
      // The last panel reaches the right edge, as the window system's status bars have it.
      int right = i + 1 == FBar->PanelCount() ? width() - gripWidth : x + panel.Width;
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
  TStatusBar* FBar;
};

}  // namespace

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

}  // namespace tess
