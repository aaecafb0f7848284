// The start-up reference: a minimal Qt Widgets program with the same kinds of controls as the dialog (a
// label, an edit, a group of radio buttons, a button, Japanese text). Started with TESSARINE_EXIT_WHEN_SHOWN
// set, it ends the way the program does when measured: at once, when its window has been mapped and its
// first exposure painted.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class ExitWhenShown : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed()) {
      QTimer::singleShot(0, [] {
        std::fflush(nullptr);
        std::_Exit(0);
      });
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const char* exitWhenShown = std::getenv("TESSARINE_EXIT_WHEN_SHOWN");
  if (exitWhenShown != nullptr && *exitWhenShown != '\0') app.installEventFilter(new ExitWhenShown(&app));
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tessarine"));
  window.resize(374, 295);
  auto* label = new QLabel(QStringLiteral("Tessarine Ver.1.10"), &window);
  label->move(10, 8);
  auto* edit = new QLineEdit(QString::fromUtf8("１～７の数を１回ずつ使って"), &window);
  edit->setGeometry(17, 120, 336, 21);
  auto* group = new QGroupBox(QString::fromUtf8("四角形の数"), &window);
  group->setGeometry(17, 176, 120, 66);
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(QString::number(i + 3), group);
    radio->move(8 + 28 * i, 24);
  }
  auto* button = new QPushButton(QString::fromUtf8("プレビュー"), &window);
  button->setGeometry(270, 250, 90, 25);
  window.show();
  return app.exec();
}
