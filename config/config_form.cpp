// The configuration dialog: controls at their designed places, the live settings record behind
// them, presets and maxima on the value labels, and the buttons that drive the screen window.
#include "config/config_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <exception>
#include <utility>

#include "config/screen_control.h"
#include "config/settings_file.h"
#include "platform/gauge_bar.h"
#include "platform/message_box.h"
#include "platform/system_colors.h"

namespace quillet {

namespace {

// A value label: right-aligned number that reports mouse presses with its row's tag.
class TValueLabel : public QLabel {
 public:
  TValueLabel(int Tag, QWidget* Parent) : QLabel(Parent), FTag(Tag) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  int Tag() const { return FTag; }
  std::function<void(int Tag, Qt::MouseButton Button)> OnMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* Event) override {
    if (OnMouseDown) OnMouseDown(FTag, Event->button());
    QLabel::mousePressEvent(Event);
  }

 private:
  int FTag;
};

struct GaugeRowDesign {
  const char* Name;
  int32_t Min, Max, Designed, Preset;
  int32_t (DemoSettings::*Get)() const;
  bool (DemoSettings::*Set)(int32_t);
};

constexpr std::array<GaugeRowDesign, 5> RowDesigns{{
    {"Objects:", ObjectsRange.Min, ObjectsRange.Max, 500, 500, &DemoSettings::Objects,
     &DemoSettings::SetObjects},
    {"Size:", SizeRange.Min, SizeRange.Max, 55, 55, &DemoSettings::Size, &DemoSettings::SetSize},
    {"Alpha:", AlphaRange.Min, AlphaRange.Max, 127, 127, &DemoSettings::Alpha, &DemoSettings::SetAlpha},
    {"Thickness:", ThicknessRange.Min, ThicknessRange.Max, 1, 5, &DemoSettings::Thickness,
     &DemoSettings::SetThickness},
    {"CurveSteps:", StepsRange.Min, StepsRange.Max, 10, 8, &DemoSettings::Steps, &DemoSettings::SetSteps},
}};

struct CheckDesign {
  const char* Caption;
  bool DemoSettings::*Field;
  bool Designed;
};

constexpr std::array<CheckDesign, 18> CheckDesigns{{
    {"Lines", &DemoSettings::iLines, true},
    {"Bars", &DemoSettings::iBars, false},
    {"Triangles", &DemoSettings::iTriangles, false},
    {"FillTriangles", &DemoSettings::iFillTria, false},
    {"SplineCurve", &DemoSettings::iSplineCurve, false},
    {"SplineArea", &DemoSettings::iSplineArea, false},
    {"Ellipse", &DemoSettings::iEllipse, false},
    {"Lines", &DemoSettings::bLines, true},
    {"Bars", &DemoSettings::bBars, false},
    {"Triangles", &DemoSettings::bTriangles, false},
    {"FillTriangles", &DemoSettings::bFillTria, false},
    {"SplineCurve", &DemoSettings::bSplineCurve, false},
    {"SplineArea", &DemoSettings::bSplineArea, false},
    {"Ellipse Disk", &DemoSettings::bEllipseDisk, false},
    {"Bars", &DemoSettings::gBars, false},
    {"Triangles", &DemoSettings::gTriangles, false},
    {"Bars", &DemoSettings::bgBars, false},
    {"Triangles", &DemoSettings::bgTriangles, false},
}};

constexpr int ClientWidth = 497;
constexpr int ClientHeight = 292;
constexpr int ActivatedTop = 40;
constexpr int DesktopColorIndex = 1;

QColor FromSystemColor(uint32_t Bgr) {
  return QColor(static_cast<int>(Bgr & 0xFF), static_cast<int>((Bgr >> 8) & 0xFF),
                static_cast<int>((Bgr >> 16) & 0xFF));
}

// The letter after a single '&' in a caption, or a null character.
QChar AcceleratorOf(const QString& Caption) {
  for (qsizetype I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] != '&') return Caption[I + 1].toLower();
    ++I;
  }
  return QChar();
}

}  // namespace

const char tConfigForm::DesignedCaption[] = " Quillet: Screen Saver Configuration  ";

tConfigForm::tConfigForm(std::filesystem::path SettingsPath, QWidget* Parent)
    : QDialog(Parent), FSettingsPath(std::move(SettingsPath)) {
  OnError = [this](const std::string& Message) {
    const QString Title = QGuiApplication::applicationName();
    ShowMessageBox(Message, Title.toStdString(), MB_OK | MB_ICONHAND, this);
  };
  BuildControls();
  FormCreate();
}

tConfigForm::~tConfigForm() = default;

void tConfigForm::BuildControls() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromLatin1(DesignedCaption));
  setFixedSize(ClientWidth, ClientHeight);
  setAutoFillBackground(true);

  auto* Panel1 = new QWidget(this);
  Panel1->setGeometry(0, 0, ClientWidth, 20);
  Panel1->setBackgroundRole(QPalette::Base);
  Panel1->setAutoFillBackground(true);
  auto* Label6 =
      new QLabel("hint:  right mouse button click opens this dialog on fullscreen mode ", Panel1);
  Label6->setGeometry(0, 2, 498, 18);
  Label6->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont HintFont("Verdana");
  HintFont.setPixelSize(11);
  Label6->setFont(HintFont);

  auto MakeGroup = [this](const char* Caption, int X, int Y, int W, int H) {
    auto* Group = new QGroupBox(QString::fromLatin1(Caption), this);
    Group->setGeometry(X, Y, W, H);
    return Group;
  };
  QGroupBox* GroupBox1 = MakeGroup("AntiAliased", 6, 24, 115, 169);
  QGroupBox* GroupBox2 = MakeGroup("AlphaBlending", 128, 24, 121, 169);
  QGroupBox* GroupBox4 = MakeGroup("Gouraud", 6, 208, 115, 78);
  QGroupBox* GroupBox5 = MakeGroup("BlendGouraud", 128, 208, 121, 78);
  QGroupBox* GroupBox3 = MakeGroup("", 256, 24, 233, 145);

  for (size_t I = 0; I < CheckDesigns.size(); ++I) {
    QGroupBox* Group;
    int Slot;
    int Top;
    int Step;
    if (I < 7) {
      Group = GroupBox1, Slot = static_cast<int>(I), Top = 18, Step = 20;
    } else if (I < 14) {
      Group = GroupBox2, Slot = static_cast<int>(I) - 7, Top = 18, Step = 20;
    } else if (I < 16) {
      Group = GroupBox4, Slot = static_cast<int>(I) - 14, Top = 24, Step = 24;
    } else {
      Group = GroupBox5, Slot = static_cast<int>(I) - 16, Top = 24, Step = 24;
    }
    auto* Box = new QCheckBox(QString::fromLatin1(CheckDesigns[I].Caption), Group);
    Box->setGeometry(8, Top + Slot * Step, Group->width() - 12, 18);
    Box->setChecked(CheckDesigns[I].Designed);
    Box->installEventFilter(this);
    FChecks[I] = Box;
    QObject::connect(Box, &QCheckBox::toggled, this,
                     [this, I](bool Checked) { CheckChanged(static_cast<int>(I), Checked); });
  }

  for (size_t R = 0; R < RowDesigns.size(); ++R) {
    const GaugeRowDesign& D = RowDesigns[R];
    const int Y = 10 + 26 * static_cast<int>(R);
    TGaugeRow& Row = FRows[R];
    Row.NameLabel = new QLabel(QString::fromLatin1(D.Name), GroupBox3);
    Row.NameLabel->setGeometry(8, Y, 72, 18);
    auto* Value = new TValueLabel(static_cast<int>(R) + 1, GroupBox3);
    Value->setGeometry(80, Y, 30, 18);
    Value->OnMouseDown = [this](int Tag, Qt::MouseButton Button) { iMouseDown(Tag, Button); };
    Row.ValueLabel = Value;
    Row.Gauge = new TGaugeBar(GroupBox3);
    Row.Gauge->setGeometry(114, Y + 1, 116, 16);
    Row.Gauge->SetRange(D.Min, D.Max);
    Row.Gauge->SetPosition(D.Designed);
    Row.ValueLabel->setText(QString::number(D.Designed));
    Row.Gauge->OnChange = [this, R](TGaugeBar*) { GaugeChanged(static_cast<int>(R)); };
  }

  auto MakeButton = [this](const char* Caption, int X, int Y, int W, int H, void (tConfigForm::*Click)()) {
    auto* Button = new QPushButton(QString::fromLatin1(Caption), this);
    Button->setGeometry(X, Y, W, H);
    Button->installEventFilter(this);
    QObject::connect(Button, &QPushButton::clicked, this, [this, Click] { (this->*Click)(); });
    return Button;
  };
  FWinTestButton = MakeButton("&WinTest", 264, 180, 112, 27, &tConfigForm::WinTestButtonClick);
  FTestButton = MakeButton("&Test...", 264, 220, 112, 27, &tConfigForm::TestButtonClick);
  FClearButton = MakeButton("C&lear", 263, 260, 57, 27, &tConfigForm::ClearButtonClick);
  FPauseButton = MakeButton("&Pause", 328, 260, 48, 27, &tConfigForm::PauseButtonClick);
  FCancelButton = MakeButton("&Cancel", 392, 228, 96, 27, &tConfigForm::CancelButtonClick);
  FOKButton = MakeButton("O&K", 392, 260, 96, 27, &tConfigForm::OKButtonClick);
  FOKButton->setDefault(true);

  QPalette VersionPalette = palette();
  VersionPalette.setColor(QPalette::WindowText, FromSystemColor(PaletteSystemColor(DesktopColorIndex)));
  auto* LabelVersion = new QLabel("v2.4   10/2006  ", this);
  LabelVersion->setGeometry(392, 175, 96, 16);
  LabelVersion->setPalette(VersionPalette);
  FLabelEngineVersion = new QLabel("engine 1.7", this);
  FLabelEngineVersion->setGeometry(392, 199, 96, 16);
  FLabelEngineVersion->setPalette(VersionPalette);

  // The record starts as the designed controls say; loading replaces it.
  for (size_t R = 0; R < RowDesigns.size(); ++R) (FSettings.*RowDesigns[R].Set)(RowDesigns[R].Designed);
  for (size_t I = 0; I < CheckDesigns.size(); ++I) FSettings.*CheckDesigns[I].Field = CheckDesigns[I].Designed;
}

void tConfigForm::FormCreate() {
  LoadSettings();
  FLabelEngineVersion->setText("engine v1.8.1");
}

void tConfigForm::LoadSettings() {
  DemoSettings Stored;
  quillet::LoadSettings(Stored, FSettingsPath);
  for (size_t R = 0; R < RowDesigns.size(); ++R) FRows[R].Gauge->SetPosition((Stored.*RowDesigns[R].Get)());
  for (const TGaugeRow& Row : FRows) Row.ValueLabel->setText(QString::number(Row.Gauge->Position()));
  for (size_t I = 0; I < CheckDesigns.size(); ++I) FChecks[I]->setChecked(Stored.*CheckDesigns[I].Field);
}

void tConfigForm::SaveSettings() {
  // Written from the controls, which hold the settings.
  DemoSettings Current;
  for (size_t R = 0; R < RowDesigns.size(); ++R) (Current.*RowDesigns[R].Set)(FRows[R].Gauge->Position());
  for (size_t I = 0; I < CheckDesigns.size(); ++I) Current.*CheckDesigns[I].Field = FChecks[I]->isChecked();
  quillet::SaveSettings(Current, FSettingsPath);
}

void tConfigForm::GaugeChanged(int Row) {
  const TGaugeRow& R = FRows[static_cast<size_t>(Row)];
  (FSettings.*RowDesigns[static_cast<size_t>(Row)].Set)(R.Gauge->Position());
  R.ValueLabel->setText(QString::number(R.Gauge->Position()));
}

void tConfigForm::CheckChanged(int Index, bool Checked) {
  FSettings.*CheckDesigns[static_cast<size_t>(Index)].Field = Checked;
}

void tConfigForm::iMouseDown(int Tag, Qt::MouseButton Button) {
  if (Tag < 1 || Tag > static_cast<int>(FRows.size())) return;
  const size_t Row = static_cast<size_t>(Tag - 1);
  TGaugeBar* Gauge = FRows[Row].Gauge;
  if (Button == Qt::LeftButton)
    Gauge->SetPosition(RowDesigns[Row].Preset);
  else if (Button == Qt::RightButton)
    Gauge->SetPosition(Gauge->Max());
}

void tConfigForm::UpdatePauseCaption() {
  const bool Paused = FScreen && FScreen->Paused();
  FPauseButton->setText(Paused ? "&Run" : "&Pause");
}

void tConfigForm::FormActivate() {
  move(x(), ActivatedTop);
  UpdatePauseCaption();
}

void tConfigForm::FormKeyPress(const QString& Text) {
  if (Text == "p" && FScreen) FScreen->TogglePaused();
}

void tConfigForm::OKButtonClick() {
  try {
    SaveSettings();
  } catch (const std::exception& Error) {
    if (OnError) OnError(Error.what());
    return;
  }
  CloseDialog();
}

void tConfigForm::CancelButtonClick() { CloseDialog(); }

void tConfigForm::TestButtonClick() {
  if (!FScreen) return;
  FScreen->Show();
  FScreen->Restart(false);
  FScreen->Show();
}

void tConfigForm::WinTestButtonClick() {
  if (!FScreen) return;
  FScreen->Restart(true);
  FScreen->Show();
}

void tConfigForm::ClearButtonClick() {
  if (FScreen) FScreen->Clear();
}

void tConfigForm::PauseButtonClick() {
  if (FScreen) FScreen->TogglePaused();
  UpdatePauseCaption();
}

void tConfigForm::CloseDialog() {
  hide();
  if (OnClosed) OnClosed();
}

// Escape and the close box both come here.
void tConfigForm::reject() { CancelButtonClick(); }

bool tConfigForm::event(QEvent* Event) {
  if (Event->type() == QEvent::WindowActivate) FormActivate();
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

void tConfigForm::showEvent(QShowEvent* Event) {
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

void tConfigForm::keyPressEvent(QKeyEvent* Event) {
  // Characters reach the dialog's own handler only while no control has the focus.
  QWidget* Focus = focusWidget();
  if ((!Focus || Focus == this) && !Event->text().isEmpty()) FormKeyPress(Event->text());
  QDialog::keyPressEvent(Event);
}

QPushButton* tConfigForm::ButtonForAccelerator(QChar Letter) const {
  const QChar Wanted = Letter.toLower();
  for (QPushButton* Button : {FWinTestButton, FTestButton, FClearButton, FPauseButton, FCancelButton, FOKButton})
    if (Button->isEnabled() && AcceleratorOf(Button->text()) == Wanted) return Button;
  return nullptr;
}

// A letter typed alone while a check box or a button has the focus presses the button whose
// accelerator it is; with Alt, the toolkit's own mnemonics do the same from anywhere.
bool tConfigForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    const Qt::KeyboardModifiers Mods = Key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (Mods == Qt::NoModifier && Key->text().size() == 1 && Key->text()[0].isLetter()) {
      if (QPushButton* Button = ButtonForAccelerator(Key->text()[0])) {
        Button->click();
        return true;
      }
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

}  // namespace quillet
