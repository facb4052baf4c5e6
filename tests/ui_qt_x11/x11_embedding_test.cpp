// Embedding against a real X server: a private Xvfb started for these tests (skipped when Xvfb
// is not installed). The host window's geometry is read through XCB; the re-parenting itself
// runs in a child copy of this program on Qt's xcb platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/ui_qt_x11/taskbar_hint.h"
#include "platform/ui_qt_x11/x11_embedding.h"
#include "platform/ui_qt_x11/detail/x11_native.h"
#include "x11_embedding_child.h"

namespace quillet {

// The child's side: embed a widget into the host window given on the command line, show a
// second top-level window off the taskbar, report the window ids, say "gone" when the embedded
// window is destroyed with its host, and stay until stdin closes.
int RunEmbeddingChild(int Argc, char** Argv, int Index) {
  if (Index + 1 >= Argc) return 2;
  const auto Host = static_cast<uint32_t>(std::strtoul(Argv[Index + 1], nullptr, 10));
  QApplication App(Argc, Argv);
  QWidget Embedded, Plain;
  Embedded.resize(10, 10);
  const uint32_t Previous = ReparentIntoHost(Embedded, Host);
  const std::optional<TRect> Rect = HostWindowRect(Host);
  if (Rect) Embedded.setGeometry(0, 0, Rect->Right - Rect->Left, Rect->Bottom - Rect->Top);
  Embedded.show();

  Plain.resize(30, 30);
  KeepOffTaskbar(Plain);
  Plain.show();

  QWidget Refused;
  const uint32_t RefusedPrevious = ReparentIntoHost(Refused, 0x7FFFFFF0);
  QApplication::processEvents();
  xcb_connection_t* Connection = x11::QtConnection();
  std::free(xcb_get_input_focus_reply(Connection, xcb_get_input_focus(Connection), nullptr));

  WhenNativeWindowDestroyed(Embedded, [] { std::cout << "gone" << std::endl; });

  std::cout << Previous << ' ' << Embedded.winId() << ' ' << Plain.winId() << ' '
            << RefusedPrevious << std::endl;
  // Runs until the test closes stdin; quitting must not be held up by the embedding.
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, [] {
    pollfd Input{0, POLLIN, 0};
    char Buffer[64];
    if (::poll(&Input, 1, 0) == 1 && ::read(0, Buffer, sizeof Buffer) <= 0) QApplication::quit();
  });
  Poll.start(20);
  return QApplication::exec();
}

namespace {

template <typename T>
struct Freed {
  T* Ptr;
  explicit Freed(T* P) : Ptr(P) {}
  ~Freed() { std::free(Ptr); }
  Freed(const Freed&) = delete;
  Freed& operator=(const Freed&) = delete;
  T* operator->() const { return Ptr; }
  explicit operator bool() const { return Ptr != nullptr; }
};

bool OnPath(const char* Program) {
  const char* Path = std::getenv("PATH");
  std::stringstream Dirs(Path ? Path : "/usr/bin:/bin");
  for (std::string Dir; std::getline(Dirs, Dir, ':');)
    if (::access((Dir + "/" + Program).c_str(), X_OK) == 0) return true;
  return false;
}

class X11EmbeddingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!OnPath("Xvfb")) return;
    int Pipe[2];
    if (::pipe(Pipe) != 0) return;
    ServerPid = ::fork();
    if (ServerPid == 0) {
      ::close(Pipe[0]);
      const int Null = ::open("/dev/null", O_RDWR);
      ::dup2(Null, 1);
      ::dup2(Null, 2);
      const std::string Fd = std::to_string(Pipe[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", Fd.c_str(), "-nolisten", "tcp", "-screen", "0",
               "640x480x24", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(Pipe[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string Number;
    pollfd Wait{Pipe[0], POLLIN, 0};
    char Ch;
    while (::poll(&Wait, 1, 10000) == 1 && ::read(Pipe[0], &Ch, 1) == 1 && Ch != '\n')
      Number += Ch;
    ::close(Pipe[0]);
    if (Number.empty()) return;
    Display = ":" + Number;
    Connection = xcb_connect(Display.c_str(), nullptr);
    if (xcb_connection_has_error(Connection)) {
      xcb_disconnect(Connection);
      Connection = nullptr;
      return;
    }
    Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data;
  }

  static void TearDownTestSuite() {
    if (Connection) xcb_disconnect(Connection);
    Connection = nullptr;
    if (ServerPid > 0) {
      ::kill(ServerPid, SIGTERM);
      ::waitpid(ServerPid, nullptr, 0);
    }
    ServerPid = -1;
  }

  void SetUp() override {
    if (!OnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(Connection, nullptr) << "Xvfb did not start";
  }

  static uint32_t CreateWindow(uint32_t Parent, int16_t X, int16_t Y, uint16_t W, uint16_t H,
                               uint16_t Border) {
    const uint32_t Id = xcb_generate_id(Connection);
    xcb_create_window(Connection, XCB_COPY_FROM_PARENT, Id, Parent, X, Y, W, H, Border,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, Screen->root_visual, 0, nullptr);
    xcb_map_window(Connection, Id);
    xcb_flush(Connection);
    return Id;
  }

  static inline pid_t ServerPid = -1;
  static inline std::string Display;
  static inline xcb_connection_t* Connection = nullptr;
  static inline xcb_screen_t* Screen = nullptr;
};

TEST_F(X11EmbeddingTest, HostRectangleIsTheOuterRectangleInScreenCoordinates) {
  const uint32_t Host = CreateWindow(Screen->root, 30, 40, 200, 100, 3);
  EXPECT_EQ(HostWindowRect(Connection, Host), (TRect{30, 40, 236, 146}));
  // A window inside it adds up the offsets of its ancestors.
  const uint32_t Inner = CreateWindow(Host, 10, 20, 50, 60, 1);
  EXPECT_EQ(HostWindowRect(Connection, Inner), (TRect{43, 63, 95, 125}));
  xcb_destroy_window(Connection, Host);
}

TEST_F(X11EmbeddingTest, IdsThatAreNotWindowsHaveNoRectangle) {
  EXPECT_EQ(HostWindowRect(Connection, 0), std::nullopt);
  EXPECT_EQ(HostWindowRect(Connection, xcb_generate_id(Connection)), std::nullopt);
  EXPECT_EQ(HostWindowRect(Connection, 0x7FFFFFF0), std::nullopt);
  const uint32_t Gone = CreateWindow(Screen->root, 0, 0, 10, 10, 0);
  xcb_destroy_window(Connection, Gone);
  EXPECT_EQ(HostWindowRect(Connection, Gone), std::nullopt);
  // A pixmap answers the geometry query but is no window.
  const uint32_t Pixmap = xcb_generate_id(Connection);
  xcb_create_pixmap(Connection, Screen->root_depth, Pixmap, Screen->root, 8, 8);
  EXPECT_EQ(HostWindowRect(Connection, Pixmap), std::nullopt);
  xcb_free_pixmap(Connection, Pixmap);
}

TEST_F(X11EmbeddingTest, WithoutX11EmbeddingReportsFailure) {
  // This process runs on the offscreen platform.
  QWidget Window;
  EXPECT_EQ(HostWindowRect(Screen->root), std::nullopt);
  EXPECT_EQ(ReparentIntoHost(Window, Screen->root), 0u);
}

TEST_F(X11EmbeddingTest, WindowIsReparentedIntoTheHostSizedToItAndEndsWithIt) {
  const uint32_t Host = CreateWindow(Screen->root, 50, 60, 160, 120, 2);

  int ToChild[2], FromChild[2];
  ASSERT_EQ(::pipe(ToChild), 0);
  ASSERT_EQ(::pipe(FromChild), 0);
  const pid_t Child = ::fork();
  if (Child == 0) {
    ::dup2(ToChild[0], 0);
    ::dup2(FromChild[1], 1);
    for (const int Fd : {ToChild[0], ToChild[1], FromChild[0], FromChild[1]}) ::close(Fd);
    ::setenv("DISPLAY", Display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Leaks inside the X libraries are not this test's concern.
    const char* Asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(Asan ? Asan : "") + ":detect_leaks=0").c_str(), 1);
    const std::string HostText = std::to_string(Host);
    ::execl("/proc/self/exe", "platform_tests", EmbeddingChildFlag, HostText.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ToChild[0]);
  ::close(FromChild[1]);
  const auto ReadLine = [Fd = FromChild[0]] {
    std::string Line;
    pollfd Wait{Fd, POLLIN, 0};
    char Ch;
    while (::poll(&Wait, 1, 20000) == 1 && ::read(Fd, &Ch, 1) == 1 && Ch != '\n') Line += Ch;
    return Line;
  };
  const std::string Report = ReadLine();

  std::istringstream Fields(Report);
  uint32_t Previous = 0, Embedded = 0, Plain = 0, Refused = 1;
  Fields >> Previous >> Embedded >> Plain >> Refused;
  ASSERT_FALSE(Fields.fail()) << "child reported: '" << Report << "'";

  EXPECT_NE(Previous, 0u);
  EXPECT_EQ(Refused, 0u) << "embedding into a window that does not exist must fail";
  Freed<xcb_query_tree_reply_t> Tree(
      xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Embedded), nullptr));
  ASSERT_TRUE(Tree);
  EXPECT_EQ(Tree->parent, Host);
  Freed<xcb_get_geometry_reply_t> Geometry(
      xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, Embedded), nullptr));
  ASSERT_TRUE(Geometry);
  EXPECT_EQ(Geometry->x, 0);
  EXPECT_EQ(Geometry->y, 0);
  EXPECT_EQ(Geometry->width, 164);
  EXPECT_EQ(Geometry->height, 124);

  // The top-level window carries the skip-taskbar state once it is shown.
  const xcb_atom_t State = x11::InternAtom(Connection, "_NET_WM_STATE");
  const xcb_atom_t Skip = x11::InternAtom(Connection, "_NET_WM_STATE_SKIP_TASKBAR");
  Freed<xcb_get_property_reply_t> States(xcb_get_property_reply(
      Connection, xcb_get_property(Connection, 0, Plain, State, XCB_ATOM_ATOM, 0, 64), nullptr));
  ASSERT_TRUE(States);
  const auto* Atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(States.Ptr));
  const std::vector<xcb_atom_t> Present(Atoms,
                                        Atoms + xcb_get_property_value_length(States.Ptr) / 4);
  EXPECT_NE(std::find(Present.begin(), Present.end(), Skip), Present.end());

  // Closing the host takes the embedded window down with it, and the child hears of it.
  xcb_destroy_window(Connection, Host);
  xcb_flush(Connection);
  EXPECT_EQ(ReadLine(), "gone");

  ::close(ToChild[1]);
  ::close(FromChild[0]);
  int Status = 0;
  pid_t Ended = 0;
  for (int Waited = 0; Ended == 0 && Waited < 1000; ++Waited) {
    Ended = ::waitpid(Child, &Status, WNOHANG);
    if (Ended == 0) ::usleep(10000);
  }
  if (Ended == 0) {
    ::kill(Child, SIGKILL);
    ::waitpid(Child, nullptr, 0);
    FAIL() << "the child did not quit";
  }
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "child status " << Status;
}

}  // namespace
}  // namespace quillet
