// x-probe: the end-to-end tests' view of the X server, through XCB alone.
//
//   x-probe pixels [WINDOW [X Y W H]]
//                                "nonblack=N total=N hash=H" of the window's (default: root) image,
//                                or of a rectangle of it
//   x-probe png FILE [WINDOW]    the window's image as a PNG, for a look after a failure
//   x-probe host W H [vroot]     maps a W x H top-level window, prints its id, lives until killed;
//                                with vroot it announces itself as the desktop's virtual root
//   x-probe children WINDOW      one line per child: "ID X Y W H mapped|unmapped"
//   x-probe geometry WINDOW      "X Y W H" of the window relative to the root
//   x-probe top                  the id of the topmost viewable child of the root that shows on
//                                the screen
//   x-probe above WINDOW OTHER   exit 0 when WINDOW is stacked above OTHER (each taken as its
//                                ancestor among the root's children, such as its manager's frame)
// WINDOW is an id (decimal or 0x hexadecimal) or "root".
#include <png.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct FreeDeleter {
  void operator()(void* P) const { std::free(P); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

int Usage() {
  std::fprintf(stderr,
               "usage: x-probe pixels [WINDOW [X Y W H]] | png FILE [WINDOW] | host W H [vroot] |\n"
               "       children WINDOW | geometry WINDOW | top | above WINDOW OTHER\n");
  return 2;
}

struct Area {
  int16_t X = 0, Y = 0;
  uint16_t W = 0, H = 0;  // 0: the whole window
};

// The window's pixels (or those of Part) as 32-bit words (blue, green, red, pad), or null.
Reply<xcb_get_image_reply_t> Grab(xcb_connection_t* C, xcb_window_t Window, uint16_t& W, uint16_t& H,
                                  Area Part = {}) {
  const Reply<xcb_get_geometry_reply_t> G(xcb_get_geometry_reply(C, xcb_get_geometry(C, Window), nullptr));
  if (!G || G->width == 0 || G->height == 0) return nullptr;
  W = Part.W ? Part.W : G->width;
  H = Part.H ? Part.H : G->height;
  Reply<xcb_get_image_reply_t> Image(xcb_get_image_reply(
      C, xcb_get_image(C, XCB_IMAGE_FORMAT_Z_PIXMAP, Window, Part.X, Part.Y, W, H, ~0u), nullptr));
  if (!Image || xcb_get_image_data_length(Image.get()) < static_cast<int>(uint64_t{W} * H * 4)) return nullptr;
  return Image;
}

int Png(xcb_connection_t* C, xcb_window_t Window, const char* Path) {
  uint16_t W = 0, H = 0;
  const Reply<xcb_get_image_reply_t> Image = Grab(C, Window, W, H);
  if (!Image) return 1;
  const uint8_t* Data = xcb_get_image_data(Image.get());
  std::FILE* File = std::fopen(Path, "wb");
  if (!File) return 1;
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_write_struct(&Png, &Info);
    std::fclose(File);
    return 1;
  }
  png_init_io(Png, File);
  png_set_IHDR(Png, Info, W, H, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  std::unique_ptr<png_byte[]> Row(new png_byte[size_t{W} * 3]);
  for (uint32_t Y = 0; Y < H; ++Y) {
    for (uint32_t X = 0; X < W; ++X) {
      const uint8_t* P = Data + (size_t{Y} * W + X) * 4;
      Row[X * 3] = P[2];
      Row[X * 3 + 1] = P[1];
      Row[X * 3 + 2] = P[0];
    }
    png_write_row(Png, Row.get());
  }
  png_write_end(Png, nullptr);
  png_destroy_write_struct(&Png, &Info);
  return std::fclose(File) == 0 ? 0 : 1;
}

int Pixels(xcb_connection_t* C, xcb_window_t Window, Area Part) {
  uint16_t W = 0, H = 0;
  const Reply<xcb_get_image_reply_t> Image = Grab(C, Window, W, H, Part);
  if (!Image) return 1;
  const uint8_t* Data = xcb_get_image_data(Image.get());
  const uint64_t Total = uint64_t{W} * H;
  uint64_t NonBlack = 0;
  uint64_t Hash = 1469598103934665603ull;
  for (uint64_t I = 0; I < Total; ++I) {
    const uint32_t Rgb = (Data[I * 4] | Data[I * 4 + 1] << 8 | Data[I * 4 + 2] << 16) & 0xFFFFFF;
    if (Rgb) ++NonBlack;
    Hash = (Hash ^ Rgb) * 1099511628211ull;
  }
  std::printf("nonblack=%llu total=%llu hash=%016llx\n", static_cast<unsigned long long>(NonBlack),
              static_cast<unsigned long long>(Total), static_cast<unsigned long long>(Hash));
  return 0;
}

int Host(xcb_connection_t* C, xcb_screen_t* Screen, uint16_t W, uint16_t H, bool VirtualRoot) {
  const xcb_window_t Window = xcb_generate_id(C);
  const uint32_t Values[] = {Screen->white_pixel};
  xcb_create_window(C, XCB_COPY_FROM_PARENT, Window, Screen->root, 100, 80, W, H, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, Screen->root_visual, XCB_CW_BACK_PIXEL, Values);
  if (VirtualRoot) {
    const Reply<xcb_intern_atom_reply_t> Atom(
        xcb_intern_atom_reply(C, xcb_intern_atom(C, 0, 11, "__SWM_VROOT"), nullptr));
    if (!Atom) return 1;
    xcb_change_property(C, XCB_PROP_MODE_REPLACE, Window, Atom->atom, XCB_ATOM_WINDOW, 32, 1, &Window);
  }
  xcb_map_window(C, Window);
  xcb_flush(C);
  std::printf("%u\n", Window);
  std::fflush(stdout);
  for (;;) {
    xcb_generic_event_t* Event = xcb_wait_for_event(C);
    if (!Event) return 0;
    std::free(Event);
  }
}

int Children(xcb_connection_t* C, xcb_window_t Window) {
  const Reply<xcb_query_tree_reply_t> Tree(xcb_query_tree_reply(C, xcb_query_tree(C, Window), nullptr));
  if (!Tree) return 1;
  const xcb_window_t* Kids = xcb_query_tree_children(Tree.get());
  for (int I = 0; I < xcb_query_tree_children_length(Tree.get()); ++I) {
    const Reply<xcb_get_geometry_reply_t> G(xcb_get_geometry_reply(C, xcb_get_geometry(C, Kids[I]), nullptr));
    const Reply<xcb_get_window_attributes_reply_t> A(
        xcb_get_window_attributes_reply(C, xcb_get_window_attributes(C, Kids[I]), nullptr));
    if (!G || !A) continue;
    std::printf("%u %d %d %u %u %s\n", Kids[I], G->x, G->y, G->width, G->height,
                A->map_state == XCB_MAP_STATE_VIEWABLE ? "mapped" : "unmapped");
  }
  return 0;
}

int Geometry(xcb_connection_t* C, xcb_screen_t* Screen, xcb_window_t Window) {
  const Reply<xcb_get_geometry_reply_t> G(xcb_get_geometry_reply(C, xcb_get_geometry(C, Window), nullptr));
  if (!G) return 1;
  const Reply<xcb_translate_coordinates_reply_t> T(xcb_translate_coordinates_reply(
      C, xcb_translate_coordinates(C, Window, Screen->root, 0, 0), nullptr));
  if (!T) return 1;
  std::printf("%d %d %u %u\n", T->dst_x, T->dst_y, G->width, G->height);
  return 0;
}

// The root's children, bottom to top.
std::vector<xcb_window_t> Stacking(xcb_connection_t* C, xcb_window_t Root) {
  const Reply<xcb_query_tree_reply_t> Tree(xcb_query_tree_reply(C, xcb_query_tree(C, Root), nullptr));
  if (!Tree) return {};
  const xcb_window_t* Kids = xcb_query_tree_children(Tree.get());
  return std::vector<xcb_window_t>(Kids, Kids + xcb_query_tree_children_length(Tree.get()));
}

// Window managers keep windows of their own mapped off the screen (openbox: a 1 x 1 window at
// -100, -100); those cover nothing and do not count.
bool OnScreen(xcb_connection_t* C, xcb_window_t Root, xcb_window_t Window) {
  const Reply<xcb_get_geometry_reply_t> R(xcb_get_geometry_reply(C, xcb_get_geometry(C, Root), nullptr));
  const Reply<xcb_get_geometry_reply_t> G(xcb_get_geometry_reply(C, xcb_get_geometry(C, Window), nullptr));
  if (!R || !G) return false;
  const int Right = G->x + G->width + 2 * G->border_width, Bottom = G->y + G->height + 2 * G->border_width;
  return Right > 0 && Bottom > 0 && G->x < R->width && G->y < R->height;
}

int Top(xcb_connection_t* C, xcb_window_t Root) {
  const std::vector<xcb_window_t> Kids = Stacking(C, Root);
  for (auto It = Kids.rbegin(); It != Kids.rend(); ++It) {
    const Reply<xcb_get_window_attributes_reply_t> A(
        xcb_get_window_attributes_reply(C, xcb_get_window_attributes(C, *It), nullptr));
    if (A && A->map_state == XCB_MAP_STATE_VIEWABLE && OnScreen(C, Root, *It)) {
      std::printf("%u\n", *It);
      return 0;
    }
  }
  return 1;
}

xcb_window_t RootChild(xcb_connection_t* C, xcb_window_t Root, xcb_window_t Window) {
  for (int Depth = 0; Depth < 64; ++Depth) {
    const Reply<xcb_query_tree_reply_t> Tree(xcb_query_tree_reply(C, xcb_query_tree(C, Window), nullptr));
    if (!Tree) return XCB_WINDOW_NONE;
    if (Tree->parent == Root) return Window;
    Window = Tree->parent;
  }
  return XCB_WINDOW_NONE;
}

int Above(xcb_connection_t* C, xcb_window_t Root, xcb_window_t Window, xcb_window_t Other) {
  const xcb_window_t Upper = RootChild(C, Root, Window);
  const xcb_window_t Lower = RootChild(C, Root, Other);
  const std::vector<xcb_window_t> Kids = Stacking(C, Root);
  const auto UpperAt = std::find(Kids.begin(), Kids.end(), Upper);
  const auto LowerAt = std::find(Kids.begin(), Kids.end(), Lower);
  return UpperAt != Kids.end() && LowerAt != Kids.end() && UpperAt > LowerAt ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  int ScreenNumber = 0;
  xcb_connection_t* C = xcb_connect(nullptr, &ScreenNumber);
  if (xcb_connection_has_error(C)) {
    std::fprintf(stderr, "x-probe: cannot connect to the X server\n");
    return 1;
  }
  xcb_screen_iterator_t It = xcb_setup_roots_iterator(xcb_get_setup(C));
  for (int I = 0; I < ScreenNumber; ++I) xcb_screen_next(&It);
  xcb_screen_t* Screen = It.data;
  const std::string Command = argv[1];
  // "root" names the root window.
  const auto ParseId = [Screen](const char* S) {
    return std::string(S) == "root" ? Screen->root : static_cast<uint32_t>(std::strtoul(S, nullptr, 0));
  };
  int Result = 2;
  if (Command == "pixels" && (argc <= 3 || argc == 7)) {
    Area Part;
    if (argc == 7) {
      Part = {static_cast<int16_t>(std::atoi(argv[3])), static_cast<int16_t>(std::atoi(argv[4])),
              static_cast<uint16_t>(std::atoi(argv[5])), static_cast<uint16_t>(std::atoi(argv[6]))};
    }
    Result = Pixels(C, argc >= 3 ? ParseId(argv[2]) : Screen->root, Part);
  }
  else if (Command == "png" && (argc == 3 || argc == 4))
    Result = Png(C, argc == 4 ? ParseId(argv[3]) : Screen->root, argv[2]);
  else if (Command == "host" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "vroot")))
    Result = Host(C, Screen, static_cast<uint16_t>(std::atoi(argv[2])), static_cast<uint16_t>(std::atoi(argv[3])),
                  argc == 5);
  else if (Command == "children" && argc == 3)
    Result = Children(C, ParseId(argv[2]));
  else if (Command == "geometry" && argc == 3)
    Result = Geometry(C, Screen, ParseId(argv[2]));
  else if (Command == "top" && argc == 2)
    Result = Top(C, Screen->root);
  else if (Command == "above" && argc == 4)
    Result = Above(C, Screen->root, ParseId(argv[2]), ParseId(argv[3]));
  else
    Usage();
  xcb_disconnect(C);
  return Result;
}
