// The configuration dialog's widgets at their designed places, made from the settings tables.
#include "platform/ui_qt_x11/qt_config_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <functional>

#include "config/dialog_layout.h"
#include "platform/ui_qt_x11/gauge_bar.h"
#include "platform/ui_qt_x11/message_box.h"
#include "platform/ui_qt_x11/system_colors.h"

namespace quillet {

namespace {

// A value label: right-aligned number that reports mouse presses with its row's tag.
class TValueLabel : public QLabel {
 public:
  TValueLabel(int Tag, QWidget* Parent) : QLabel(Parent), FTag(Tag) { setAlignment(Qt::AlignRight | Qt::AlignVCenter); }
  std::function<void(int Tag, TMouseButton Button)> OnMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* Event) override {
    if (OnMouseDown) {
      const Qt::MouseButton B = Event->button();
      OnMouseDown(FTag, B == Qt::LeftButton    ? TMouseButton::Left
                        : B == Qt::RightButton ? TMouseButton::Right
                        : B == Qt::MiddleButton ? TMouseButton::Middle
                                                : TMouseButton::Other);
    }
    QLabel::mousePressEvent(Event);
  }

 private:
  int FTag;
};

namespace layout = dialog_layout;

QRect At(const layout::TBox& B) { return QRect(B.X, B.Y, B.W, B.H); }

QColor FromSystemColor(uint32_t Bgr) {
  return QColor(static_cast<int>(Bgr & 0xFF), static_cast<int>((Bgr >> 8) & 0xFF), static_cast<int>((Bgr >> 16) & 0xFF));
}

QString FromUtf8(std::string_view Text) { return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size())); }

}  // namespace

TQtConfigDialog::TQtConfigDialog(tConfigForm& Form, QWidget* Parent) : QDialog(Parent), FForm(&Form) {
  BuildControls();
}

TQtConfigDialog::~TQtConfigDialog() = default;

void TQtConfigDialog::BuildControls() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(FromUtf8(FForm->Caption()));
  setFixedSize(layout::ClientWidth, layout::ClientHeight);
  setAutoFillBackground(true);

  auto* Panel1 = new QWidget(this);
  Panel1->setGeometry(At(layout::Panel1));
  Panel1->setBackgroundRole(QPalette::Base);
  Panel1->setAutoFillBackground(true);
  auto* Label6 = new QLabel(tConfigForm::HintText, Panel1);
  Label6->setGeometry(At(layout::Label6));
  Label6->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont HintFont(layout::HintFontFace);
  HintFont.setPixelSize(layout::HintFontPixels);
  Label6->setFont(HintFont);

  std::array<QGroupBox*, 4> Groups{};
  for (std::size_t F = 0; F < Groups.size(); ++F) {
    Groups[F] = new QGroupBox(QString::fromLatin1(SettingFamilies[F].Caption), this);
    Groups[F]->setGeometry(At(layout::FamilyGroups[F].Box));
  }
  auto* GroupBox3 = new QGroupBox(QString(), this);
  GroupBox3->setGeometry(At(layout::GroupBox3));

  std::array<int, 4> Slots{};
  for (std::size_t I = 0; I < SwitchSettings.size(); ++I) {
    const TSwitchSetting& S = SwitchSettings[I];
    const std::size_t F = static_cast<std::size_t>(S.Family);
    QGroupBox* Group = Groups[F];
    const int Slot = Slots[F]++;
    auto* Box = new QCheckBox(QString::fromLatin1(S.Caption), Group);
    Box->setObjectName(QString::fromLatin1(SettingFamilies[F].ControlPrefix) + QString::fromLatin1(S.Key));
    Box->setGeometry(At(layout::CheckBoxIn(layout::FamilyGroups[F], Slot)));
    Box->setChecked(S.Designed);
    Box->installEventFilter(this);
    FChecks[I] = Box;
    QObject::connect(Box, &QCheckBox::toggled, this, [this, I](bool Checked) {
      if (FForm && !FShowing) FForm->CheckToggled(I, Checked);
    });
  }

  for (std::size_t R = 0; R < NumberSettings.size(); ++R) {
    const TNumberSetting& N = NumberSettings[R];
    TGaugeRow& Row = FRows[R];
    Row.NameLabel = new QLabel(QString::fromLatin1(N.RowCaption), GroupBox3);
    Row.NameLabel->setGeometry(At(layout::NameLabelIn(R)));
    auto* Value = new TValueLabel(static_cast<int>(R) + 1, GroupBox3);
    Value->setObjectName(QString::fromLatin1(N.ValueLabel));
    Value->setGeometry(At(layout::ValueLabelIn(R)));
    Value->setText(QString::number(N.Designed));
    Value->OnMouseDown = [this](int Tag, TMouseButton Button) {
      if (FForm) FForm->iMouseDown(Tag, Button);
    };
    Row.ValueLabel = Value;
    Row.Gauge = new TGaugeBar(GroupBox3);
    Row.Gauge->setObjectName(QString::fromLatin1(N.Gauge));
    Row.Gauge->setGeometry(At(layout::GaugeIn(R)));
    Row.Gauge->SetRange(N.Range.Min, N.Range.Max);
    Row.Gauge->SetPosition(N.Designed);
    Row.Gauge->OnChange = [this, R](TGaugeBar* Gauge) {
      if (FForm && !FShowing) FForm->GaugeMoved(R, Gauge->Position());
    };
  }

  for (std::size_t B = 0; B < DialogButtonCount; ++B) {
    auto* Button = new QPushButton(QString::fromLatin1(tConfigForm::DesignedButtonCaptions[B]), this);
    Button->setGeometry(At(layout::Buttons[B]));
    Button->installEventFilter(this);
    QObject::connect(Button, &QPushButton::clicked, this, [this, B] {
      if (FForm) FForm->ButtonClick(static_cast<TDialogButton>(B));
    });
    FButtons[B] = Button;
  }
  Button(TDialogButton::OK)->setDefault(true);

  QPalette VersionPalette = palette();
  VersionPalette.setColor(QPalette::WindowText, FromSystemColor(PaletteSystemColor(layout::DesktopColorIndex)));
  auto* LabelVersion = new QLabel(tConfigForm::VersionText, this);
  LabelVersion->setGeometry(At(layout::LabelVersion));
  LabelVersion->setPalette(VersionPalette);
  FLabelEngineVersion = new QLabel(tConfigForm::DesignedEngineVersion, this);
  FLabelEngineVersion->setGeometry(At(layout::LabelEngineVersion));
  FLabelEngineVersion->setPalette(VersionPalette);
}

void TQtConfigDialog::ShowGaugePosition(std::size_t Row, int32_t Position) {
  FShowing = true;
  FRows[Row].Gauge->SetPosition(Position);
  FShowing = false;
}

void TQtConfigDialog::ShowValueLabel(std::size_t Row, std::string_view Text) { FRows[Row].ValueLabel->setText(FromUtf8(Text)); }

void TQtConfigDialog::ShowChecked(std::size_t Index, bool Checked) {
  FShowing = true;
  FChecks[Index]->setChecked(Checked);
  FShowing = false;
}

void TQtConfigDialog::ShowButtonCaption(TDialogButton Which, std::string_view Caption) {
  Button(Which)->setText(FromUtf8(Caption));
}

void TQtConfigDialog::ShowEngineVersion(std::string_view Text) { FLabelEngineVersion->setText(FromUtf8(Text)); }

void TQtConfigDialog::ShowCaption(std::string_view Caption) { setWindowTitle(FromUtf8(Caption)); }

void TQtConfigDialog::MoveTopTo(int32_t Top) { move(x(), Top); }

void TQtConfigDialog::ShowError(std::string_view Message) {
  ShowMessageBox(Message, QGuiApplication::applicationName().toStdString(), MB_OK | MB_ICONHAND, this);
}

void TQtConfigDialog::ShowAndActivate() {
  show();
  raise();
  activateWindow();
}

// Escape and the close box both come here.
void TQtConfigDialog::reject() {
  if (FForm) FForm->CancelButtonClick();
}

bool TQtConfigDialog::event(QEvent* Event) {
  if (Event->type() == QEvent::WindowActivate && FForm) FForm->FormActivate();
  // The dialog has a close box only, but some window managers offer every window a minimise
  // button whatever its hints say. With no taskbar entry a minimised dialog would be lost, so it
  // comes straight back.
  if (Event->type() == QEvent::WindowStateChange && isMinimized())
    QMetaObject::invokeMethod(this, [this] {
      if (!isMinimized()) return;
      showNormal();
      activateWindow();
    }, Qt::QueuedConnection);
  return QDialog::event(Event);
}

void TQtConfigDialog::showEvent(QShowEvent* Event) {
  if (!FPlaced) {
    FPlaced = true;
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
      QRect Frame = frameGeometry();
      Frame.moveCenter(Screen->geometry().center());
      move(Frame.topLeft());
    }
  }
  QDialog::showEvent(Event);
}

void TQtConfigDialog::keyPressEvent(QKeyEvent* Event) {
  // Characters reach the dialog's own handler only while no control has the focus.
  QWidget* Focus = focusWidget();
  const QList<uint> Characters = Event->text().toUcs4();
  if ((!Focus || Focus == this) && Characters.size() == 1 && FForm)
    FForm->FormKeyPress(static_cast<char32_t>(Characters[0]));
  QDialog::keyPressEvent(Event);
}

// A letter typed alone while a check box or a button has the focus presses the button whose
// accelerator it is; with Alt, the toolkit's own mnemonics do the same from anywhere.
bool TQtConfigDialog::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress && FForm) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    const Qt::KeyboardModifiers Mods = Key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (Mods == Qt::NoModifier && Key->text().size() == 1 && Key->text()[0].isLetter() &&
        FForm->AcceleratorTyped(Key->text()[0].unicode()))
      return true;
  }
  return QDialog::eventFilter(Watched, Event);
}

}  // namespace quillet
