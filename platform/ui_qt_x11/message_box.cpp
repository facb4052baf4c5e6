// Message boxes through QMessageBox.
#include "platform/ui_qt_x11/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace quillet {

namespace {

struct ButtonChoice {
  QMessageBox::StandardButton Button;
  int Id;
};

std::vector<ButtonChoice> ButtonsFor(uint32_t Type) {
  using B = QMessageBox;
  switch (Type) {
    case MB_OK: return {{B::Ok, IDOK}};
    case MB_OKCANCEL: return {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}};
    case MB_YESNO: return {{B::Yes, IDYES}, {B::No, IDNO}};
    case MB_RETRYCANCEL: return {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}};
    default: return {};
  }
}

QMessageBox::Icon IconFor(uint32_t Flags) {
  switch (Flags & 0xF0) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// QMessageBox would let Escape pick a reject-like button (Abort, No) on its own; a box without
// Cancel or a lone OK must not be dismissed that way.
class StrictMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;
  bool EscapeAllowed = true;

 protected:
  void keyPressEvent(QKeyEvent* Event) override {
    if (!EscapeAllowed && Event->matches(QKeySequence::Cancel)) {
      Event->accept();
      return;
    }
    QMessageBox::keyPressEvent(Event);
  }
  void closeEvent(QCloseEvent* Event) override {
    if (!EscapeAllowed) {
      Event->ignore();
      return;
    }
    QMessageBox::closeEvent(Event);
  }
};

}  // namespace

int ShowMessageBox(std::string_view Text, std::string_view Caption, uint32_t Flags,
                   QWidget* Parent) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  const std::vector<ButtonChoice> Choices = ButtonsFor(Flags & 0xF);
  if (Choices.empty()) return 0;

  StrictMessageBox Box(Parent);
  Box.setWindowTitle(QString::fromUtf8(Caption.data(), static_cast<qsizetype>(Caption.size())));
  Box.setTextFormat(Qt::PlainText);
  Box.setText(QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size())));
  Box.setIcon(IconFor(Flags));

  std::vector<QPushButton*> Buttons;
  QPushButton* Escape = nullptr;
  int EscapeId = 0;
  for (const ButtonChoice& Choice : Choices) {
    QPushButton* Button = Box.addButton(Choice.Button);
    Buttons.push_back(Button);
    if (Choice.Id == IDCANCEL) {
      Escape = Button;
      EscapeId = IDCANCEL;
    }
  }
  if (!Escape && Choices.size() == 1) {
    Escape = Buttons.front();
    EscapeId = Choices.front().Id;
  }
  Box.EscapeAllowed = Escape != nullptr;
  if (Escape) Box.setEscapeButton(Escape);
  if (!Box.EscapeAllowed) Box.setWindowFlag(Qt::WindowCloseButtonHint, false);

  size_t Default = (Flags >> 8) & 0xF;
  if (Default >= Buttons.size()) Default = 0;
  Box.setDefaultButton(Buttons[Default]);

  Box.exec();
  for (size_t I = 0; I < Buttons.size(); ++I)
    if (Box.clickedButton() == Buttons[I]) return Choices[I].Id;
  return EscapeId;
}

}  // namespace quillet
