#include "platform/x11/XcbWindowList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> own(T* reply) {
  return Reply<T>(reply, &std::free);
}

constexpr const char* kAtomNames[] = {"_NET_CLIENT_LIST_STACKING", "_NET_FRAME_EXTENTS", "_GTK_FRAME_EXTENTS",
                                      "_NET_ACTIVE_WINDOW",        "_NET_WM_STATE",      "_NET_WM_STATE_HIDDEN",
                                      "_NET_WM_WINDOW_TYPE",       "_NET_WM_WINDOW_TYPE_DESKTOP",
                                      "_NET_SUPPORTING_WM_CHECK"};

// Left, right, top, bottom, as both extents properties hold them.
struct Extents {
  int32_t left = 0, right = 0, top = 0, bottom = 0;
};

Extents extentsFrom(xcb_get_property_reply_t* p) {
  Extents e;
  if (p && p->format == 32 && xcb_get_property_value_length(p) >= 16) {
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(p));
    // Sane values only: a shadow or frame wider than a screen is a client's mistake.
    auto sane = [](uint32_t x) { return x < 4096 ? int32_t(x) : 0; };
    e = {sane(v[0]), sane(v[1]), sane(v[2]), sane(v[3])};
  }
  return e;
}

bool hasAtom(xcb_get_property_reply_t* p, uint32_t atom) {
  if (!p || p->format != 32 || atom == 0) return false;
  const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(p));
  const int n = xcb_get_property_value_length(p) / 4;
  return std::find(v, v + n, atom) != v + n;
}

bool skipped(const std::vector<uint32_t>& skip, uint32_t w) {
  return std::find(skip.begin(), skip.end(), w) != skip.end();
}

}  // namespace

XcbWindowList::XcbWindowList(xcb_connection_t* connection) : c_(connection) {
  if (c_ && !xcb_connection_has_error(c_)) root_ = RootWindow(c_);
}

uint32_t XcbWindowList::atom(Atom a) const {
  if (atoms_.empty() && root_) {
    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i)
      cookies[i] = xcb_intern_atom(c_, 0, uint16_t(std::strlen(kAtomNames[i])), kAtomNames[i]);
    atoms_.resize(AtomCount, 0);
    for (int i = 0; i < AtomCount; ++i)
      if (auto r = own(xcb_intern_atom_reply(c_, cookies[i], nullptr))) atoms_[i] = r->atom;
  }
  return atoms_.empty() ? 0 : atoms_[a];
}

std::optional<std::vector<uint32_t>> XcbWindowList::clientList() const {
  const auto listCookie = xcb_get_property(c_, 0, root_, atom(ClientListStacking), XCB_ATOM_WINDOW, 0, 65536);
  const auto checkCookie = xcb_get_property(c_, 0, root_, atom(SupportingWmCheck), XCB_ATOM_WINDOW, 0, 1);
  auto list = own(xcb_get_property_reply(c_, listCookie, nullptr));
  auto check = own(xcb_get_property_reply(c_, checkCookie, nullptr));
  if (!list || list->type != XCB_ATOM_WINDOW || list->format != 32) return std::nullopt;
  // A manager that has gone leaves its properties behind; its check window goes with it.
  if (!check || check->format != 32 || xcb_get_property_value_length(check.get()) < 4) return std::nullopt;
  const uint32_t wm = *static_cast<const uint32_t*>(xcb_get_property_value(check.get()));
  if (!own(xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, wm), nullptr))) return std::nullopt;
  const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(list.get()));
  return std::vector<uint32_t>(v, v + xcb_get_property_value_length(list.get()) / 4);
}

std::vector<uint32_t> XcbWindowList::rootChildren() const {
  auto tree = own(xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr));
  if (!tree) return {};
  const xcb_window_t* w = xcb_query_tree_children(tree.get());
  return std::vector<uint32_t>(w, w + xcb_query_tree_children_length(tree.get()));
}

std::vector<std::optional<QRect>> XcbWindowList::framesOf(const std::vector<uint32_t>& windows, bool managed) const {
  struct Cookies {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t frame, shadow, state, type;
  };
  std::vector<Cookies> cookies;
  cookies.reserve(windows.size());
  for (uint32_t w : windows) {
    Cookies k{};
    k.attributes = xcb_get_window_attributes(c_, w);
    k.geometry = xcb_get_geometry(c_, w);
    k.shadow = xcb_get_property(c_, 0, w, atom(GtkFrameExtents), XCB_ATOM_CARDINAL, 0, 4);
    if (managed) {
      k.origin = xcb_translate_coordinates(c_, w, root_, 0, 0);
      k.frame = xcb_get_property(c_, 0, w, atom(FrameExtents), XCB_ATOM_CARDINAL, 0, 4);
      k.state = xcb_get_property(c_, 0, w, atom(WmState), XCB_ATOM_ATOM, 0, 64);
      k.type = xcb_get_property(c_, 0, w, atom(WindowType), XCB_ATOM_ATOM, 0, 64);
    }
    cookies.push_back(k);
  }
  std::vector<std::optional<QRect>> out;
  out.reserve(windows.size());
  for (const Cookies& k : cookies) {
    // Every reply is taken, also after a window turned out hidden: xcb keeps the
    // ones nobody collects until the connection ends.
    auto attributes = own(xcb_get_window_attributes_reply(c_, k.attributes, nullptr));
    auto geometry = own(xcb_get_geometry_reply(c_, k.geometry, nullptr));
    auto shadow = own(xcb_get_property_reply(c_, k.shadow, nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(nullptr, &std::free);
    Reply<xcb_get_property_reply_t> frame(nullptr, &std::free), state(nullptr, &std::free), type(nullptr, &std::free);
    if (managed) {
      origin = own(xcb_translate_coordinates_reply(c_, k.origin, nullptr));
      frame = own(xcb_get_property_reply(c_, k.frame, nullptr));
      state = own(xcb_get_property_reply(c_, k.state, nullptr));
      type = own(xcb_get_property_reply(c_, k.type, nullptr));
    }
    const bool shown = attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                       attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
                       !(managed && (!origin || hasAtom(state.get(), atom(WmStateHidden)) ||
                                     hasAtom(type.get(), atom(WindowTypeDesktop))));
    if (!shown) {
      out.emplace_back();
      continue;
    }
    const Extents s = extentsFrom(shadow.get());
    QRect r;
    if (managed) {
      const Extents f = extentsFrom(frame.get());
      r = QRect(origin->dst_x - f.left, origin->dst_y - f.top, geometry->width + f.left + f.right,
                geometry->height + f.top + f.bottom);
    } else {
      // A child of the root: its place is its border's outer corner.
      const int b = geometry->border_width;
      r = QRect(geometry->x, geometry->y, geometry->width + 2 * b, geometry->height + 2 * b);
    }
    r.adjust(s.left, s.top, -s.right, -s.bottom);
    if (r.isEmpty())
      out.emplace_back();
    else
      out.emplace_back(r);
  }
  return out;
}

std::vector<QRect> XcbWindowList::frames(const std::vector<uint32_t>& skip) const {
  if (!root_) return {};
  const std::optional<std::vector<uint32_t>> clients = clientList();
  std::vector<uint32_t> windows = clients ? *clients : rootChildren();
  windows.erase(std::remove_if(windows.begin(), windows.end(), [&](uint32_t w) { return skipped(skip, w); }),
                windows.end());
  const std::vector<std::optional<QRect>> rects = framesOf(windows, clients.has_value());
  std::vector<QRect> out;
  // Both lists run from the bottom up.
  for (auto it = rects.rbegin(); it != rects.rend(); ++it)
    if (*it) out.push_back(**it);
  return out;
}

std::optional<QRect> XcbWindowList::activeFrame(const std::vector<uint32_t>& skip) const {
  if (!root_) return std::nullopt;
  const bool managed = clientList().has_value();
  uint32_t window = 0;
  if (managed) {
    auto p = own(xcb_get_property_reply(c_, xcb_get_property(c_, 0, root_, atom(ActiveWindow), XCB_ATOM_WINDOW, 0, 1),
                                        nullptr));
    if (p && p->format == 32 && xcb_get_property_value_length(p.get()) >= 4)
      window = *static_cast<const uint32_t*>(xcb_get_property_value(p.get()));
  } else {
    auto focus = own(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    window = focus ? focus->focus : 0;
    if (window == XCB_INPUT_FOCUS_POINTER_ROOT || window == root_) {
      // The focus follows the pointer: the window under it has the keyboard.
      auto pointer = own(xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr));
      window = pointer ? pointer->child : 0;
    }
    // The focus may sit on a window inside a top-level; the top-level is wanted.
    while (window != 0) {
      auto tree = own(xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr));
      if (!tree || tree->parent == root_) break;
      window = tree->parent;
    }
  }
  if (window == 0) return std::nullopt;
  if (skipped(skip, window)) {
    const std::vector<QRect> all = frames(skip);
    if (all.empty()) return std::nullopt;
    return all.front();
  }
  return framesOf({window}, managed).front();
}

}  // namespace lumora
