// Holds Ctrl+Alt+LETTER on the X display, as another program with the same
// hotkey would, until it is ended. Prints "held" once the grab is in place.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <csignal>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == 0) return 2;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, xcb_keysym_t(argv[1][0] | 0x20));
  if (!codes) return 1;
  for (int locks : {0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_2), int(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)}) {
    xcb_generic_error_t* e = xcb_request_check(
        c, xcb_grab_key_checked(c, 1, screen->root, uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | locks), codes[0],
                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (e) return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  for (;;) ::pause();
}
