// Process-wide user-interface services: the cursor display counter, message boxes with the
// classic flags and results, and the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "platform/ui_qt_x11/clipboard.h"
#include "platform/ui_qt_x11/cursor_counter.h"
#include "platform/ui_qt_x11/message_box.h"

namespace quillet {
namespace {

bool CursorIsBlank() {
  const QCursor* Cursor = QGuiApplication::overrideCursor();
  return Cursor && Cursor->shape() == Qt::BlankCursor;
}

TEST(CursorCounterTest, CursorIsBlankExactlyWhileTheCountIsNegative) {
  ASSERT_EQ(CursorDisplayCount(), 0);
  EXPECT_FALSE(CursorIsBlank());
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_TRUE(CursorIsBlank());
  EXPECT_EQ(ShowCursor(false), -2);
  EXPECT_EQ(ShowCursor(true), -1);
  EXPECT_TRUE(CursorIsBlank());
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_FALSE(CursorIsBlank());
  EXPECT_EQ(ShowCursor(true), 1);
  EXPECT_EQ(ShowCursor(false), 0);
  EXPECT_FALSE(CursorIsBlank());
  // Only the counter's own blank cursor comes and goes: nothing is left stacked.
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Shows a box and, once it is up, hands it to Act; returns the box's result.
int ShowAndAct(uint32_t Flags, const std::function<void(QMessageBox&)>& Act) {
  bool Acted = false;
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!Box || Acted) return;
    Acted = true;
    Act(*Box);
  });
  Poll.start(5);
  const int Result = ShowMessageBox("Text <b>not bold</b>", "Caption", Flags);
  EXPECT_TRUE(Acted);
  return Result;
}

QPushButton* ButtonOf(QMessageBox& Box, QMessageBox::StandardButton Which) {
  return qobject_cast<QPushButton*>(Box.button(Which));
}

TEST(MessageBoxTest, AbortRetryIgnoreWithTheSecondButtonAsDefault) {
  const uint32_t Flags = MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONHAND;
  EXPECT_EQ(ShowAndAct(Flags,
                       [](QMessageBox& Box) {
                         EXPECT_EQ(Box.icon(), QMessageBox::Critical);
                         EXPECT_EQ(Box.windowTitle(), "Caption");
                         EXPECT_EQ(Box.text(), "Text <b>not bold</b>");
                         EXPECT_EQ(Box.textFormat(), Qt::PlainText);
                         EXPECT_EQ(Box.defaultButton(), ButtonOf(Box, QMessageBox::Retry));
                         QTest::keyClick(&Box, Qt::Key_Return);
                       }),
            IDRETRY);
  EXPECT_EQ(ShowAndAct(Flags, [](QMessageBox& Box) { ButtonOf(Box, QMessageBox::Abort)->click(); }),
            IDABORT);
  // Escape and the close box must not answer Abort, which would end the program.
  EXPECT_EQ(ShowAndAct(Flags,
                       [](QMessageBox& Box) {
                         QTest::keyClick(&Box, Qt::Key_Escape);
                         Box.close();
                         EXPECT_TRUE(Box.isVisible());
                         ButtonOf(Box, QMessageBox::Ignore)->click();
                       }),
            IDIGNORE);
}

TEST(MessageBoxTest, EscapeAnswersOkOrCancelWhereTheBoxHasThem) {
  EXPECT_EQ(ShowAndAct(MB_OK, [](QMessageBox& Box) { QTest::keyClick(&Box, Qt::Key_Escape); }),
            IDOK);
  EXPECT_EQ(ShowAndAct(MB_RETRYCANCEL,
                       [](QMessageBox& Box) { QTest::keyClick(&Box, Qt::Key_Escape); }),
            IDCANCEL);
  // A default button beyond the last one falls back to the first.
  EXPECT_EQ(ShowAndAct(MB_YESNO | MB_DEFBUTTON3,
                       [](QMessageBox& Box) { QTest::keyClick(&Box, Qt::Key_Return); }),
            IDYES);
}

TEST(MessageBoxTest, AnUnknownButtonSetFails) {
  EXPECT_EQ(ShowMessageBox("x", "y", 0x7), 0);
  EXPECT_EQ(ShowMessageBox("x", "y", 0xF), 0);
}

TEST(ClipboardTest, PutsPlainText) {
  ASSERT_TRUE(SetClipboardText("Fehler: \xc3\xa4 <b>"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Fehler: \xc3\xa4 <b>"));
}

}  // namespace
}  // namespace quillet
