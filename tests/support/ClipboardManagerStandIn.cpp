// A clipboard manager as small as the tests need: it owns CLIPBOARD_MANAGER, and
// when a program asks it to SAVE_TARGETS it fetches the clipboard's TARGETS and
// its image/png, takes the clipboard over and serves that picture from then on.
//
//   clipboard-manager-standin OUT_PREFIX [--refuse]
//
// Prints "ready" once it owns CLIPBOARD_MANAGER, and "saved" or "refused" after
// each request to save ("asked again" when it holds the clipboard already). A save writes OUT_PREFIX.targets (one target name a line)
// and OUT_PREFIX.png. With --refuse it answers every request with a failure and
// keeps nothing.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* c = nullptr;
xcb_window_t window = 0;

xcb_atom_t atom(const char* name) {
  Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name),
                                                         nullptr),
                                   &std::free);
  return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string atomName(xcb_atom_t a) {
  Reply<xcb_get_atom_name_reply_t> r(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, a), nullptr), &std::free);
  if (!r) return std::string();
  return std::string(xcb_get_atom_name_name(r.get()), size_t(xcb_get_atom_name_name_length(r.get())));
}

// Requests that arrive while the stand-in waits for an answer of its own; they
// are served afterwards, in order.
std::deque<xcb_selection_request_event_t> pending;

// Waits for the answer to our own conversion request.
bool convert(xcb_atom_t selection, xcb_atom_t target, xcb_atom_t property, std::vector<uint8_t>& data,
             xcb_atom_t& type) {
  xcb_delete_property(c, window, property);
  xcb_convert_selection(c, window, selection, target, property, XCB_CURRENT_TIME);
  xcb_flush(c);
  for (;;) {
    Reply<xcb_generic_event_t> e(xcb_wait_for_event(c), &std::free);
    if (!e) return false;
    if ((e->response_type & 0x7f) == XCB_SELECTION_REQUEST)
      pending.push_back(*reinterpret_cast<xcb_selection_request_event_t*>(e.get()));
    if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY) continue;
    auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(e.get());
    if (n->property == XCB_ATOM_NONE) return false;
    Reply<xcb_get_property_reply_t> p(
        xcb_get_property_reply(c, xcb_get_property(c, 1, window, property, XCB_ATOM_ANY, 0, 0x7fffffff), nullptr),
        &std::free);
    if (!p) return false;
    type = p->type;
    const auto* bytes = static_cast<const uint8_t*>(xcb_get_property_value(p.get()));
    data.assign(bytes, bytes + xcb_get_property_value_length(p.get()));
    return true;
  }
}

void notify(const xcb_selection_request_event_t& r, xcb_atom_t property) {
  xcb_selection_notify_event_t n{};
  n.response_type = XCB_SELECTION_NOTIFY;
  n.time = r.time;
  n.requestor = r.requestor;
  n.selection = r.selection;
  n.target = r.target;
  n.property = property;
  xcb_send_event(c, 0, r.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&n));
  xcb_flush(c);
}

bool ownsClipboard(xcb_atom_t clipboard) {
  Reply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr), &std::free);
  return owner && owner->owner == window;
}

void say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

bool writeFile(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT_PREFIX [--refuse]\n", argv[0]);
    return 2;
  }
  const std::string prefix = argv[1];
  const bool refuse = argc > 2 && std::strcmp(argv[2], "--refuse") == 0;
  c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    screen->root_visual, 0, nullptr);
  const xcb_atom_t manager = atom("CLIPBOARD_MANAGER"), saveTargets = atom("SAVE_TARGETS"),
                   clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), png = atom("image/png"),
                   incr = atom("INCR"), fetched = atom("LUMORA_STANDIN");
  xcb_set_selection_owner(c, window, manager, XCB_CURRENT_TIME);
  Reply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, manager), nullptr), &std::free);
  if (!owner || owner->owner != window) return 1;
  say("ready");

  std::vector<uint8_t> picture;
  for (;;) {
    xcb_selection_request_event_t r;
    if (!pending.empty()) {
      r = pending.front();
      pending.pop_front();
    } else {
      Reply<xcb_generic_event_t> e(xcb_wait_for_event(c), &std::free);
      if (!e) return 0;
      if ((e->response_type & 0x7f) != XCB_SELECTION_REQUEST) continue;
      r = *reinterpret_cast<xcb_selection_request_event_t*>(e.get());
    }
    const xcb_atom_t property = r.property == XCB_ATOM_NONE ? r.target : r.property;
    if (r.selection == manager && r.target == saveTargets && ownsClipboard(clipboard)) {
      // Asked to keep what it keeps already: a program that hands its content over twice.
      notify(r, property);
      say("asked again");
    } else if (r.selection == manager && r.target == saveTargets) {
      std::vector<uint8_t> list, png_;
      xcb_atom_t type = 0;
      if (refuse || !convert(clipboard, targets, fetched, list, type) || !convert(clipboard, png, fetched, png_, type) ||
          type == incr || png_.empty()) {
        notify(r, XCB_ATOM_NONE);
        say("refused");
        continue;
      }
      std::string names;
      const auto* atoms = reinterpret_cast<const xcb_atom_t*>(list.data());
      for (size_t i = 0; i < list.size() / sizeof(xcb_atom_t); ++i) names += atomName(atoms[i]) + "\n";
      picture = std::move(png_);
      if (!writeFile(prefix + ".targets", names.data(), names.size()) ||
          !writeFile(prefix + ".png", picture.data(), picture.size())) {
        notify(r, XCB_ATOM_NONE);
        say("refused");
        continue;
      }
      // As real managers do: the clipboard is ours now, then the owner hears it was saved.
      xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
      notify(r, property);
      say("saved");
    } else if (r.selection == clipboard && r.target == targets && !picture.empty()) {
      const xcb_atom_t offered[] = {targets, png};
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, r.requestor, property, XCB_ATOM_ATOM, 32, 2, offered);
      notify(r, property);
    } else if (r.selection == clipboard && r.target == png && !picture.empty()) {
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, r.requestor, property, png, 8, uint32_t(picture.size()),
                          picture.data());
      notify(r, property);
    } else {
      notify(r, XCB_ATOM_NONE);
    }
  }
}
