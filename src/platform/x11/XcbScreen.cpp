#include "platform/x11/XcbScreen.h"

#include <xcb/randr.h>
#include <xcb/shm.h>
#include <xcb/xfixes.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>

#include <QRegion>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

namespace lumora {

namespace {

// X pads 24-bit pixels to 32 bits with an undefined fourth byte; QImage's RGB32
// wants it 0xff. Copying and setting the byte happen in one pass.
void copyRow(uint32_t* dst, const uint32_t* src, int count) {
  for (int i = 0; i < count; ++i) dst[i] = src[i] | 0xff000000u;
}

// The segment's rows into the picture. A whole frame goes on two cores, each
// taking half the rows: the capture waits on this copy before it can encode.
void copyRows(QImage& target, int dx, int dy, const uint32_t* src, int w, int h) {
  auto rows = [&](int from, int to) {
    for (int row = from; row < to; ++row)
      copyRow(reinterpret_cast<uint32_t*>(target.scanLine(dy + row)) + dx, src + size_t(row) * size_t(w), w);
  };
  constexpr size_t kShared = size_t(1) << 20;
  std::thread helper;
  const int half = h / 2;
  if (size_t(w) * size_t(h) * 4 >= kShared) {
    try {
      helper = std::thread(rows, half, h);
    } catch (const std::system_error&) {
    }
  }
  rows(0, helper.joinable() ? half : h);
  if (helper.joinable()) helper.join();
}

// Memory touched for the first time costs a trap per page, which for a whole
// frame costs more than the copy itself. Asking for all the pages in one call is
// much cheaper; a kernel older than 5.14 refuses the advice and nothing changes.
void prefault(const void* start, size_t length, int advice) {
  const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + length) & ~(page - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, advice);
}

// A frame-sized picture in memory the kernel may back with huge pages: filling a
// fresh frame costs a page fault per 4 KiB otherwise, more than the grab itself.
QImage newFrame(int w, int h) {
  constexpr size_t kHuge = size_t(2) << 20;
  const size_t bytes = size_t(w) * size_t(h) * 4;
  if (bytes < 2 * kHuge) return QImage(w, h, QImage::Format_RGB32);
  const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
  void* memory = std::aligned_alloc(kHuge, rounded);
  if (!memory) return QImage();
  madvise(memory, rounded, MADV_HUGEPAGE);
  return QImage(static_cast<uchar*>(memory), w, h, qsizetype(w) * 4, QImage::Format_RGB32, std::free, memory);
}

}  // namespace

struct XcbScreen::Impl {
  xcb_connection_t* conn = nullptr;
  xcb_screen_t* screen = nullptr;
  bool randrMonitors = false;
  bool xfixes = false;
  bool shm = false;
  xcb_shm_seg_t seg = 0;
  void* shmAddr = nullptr;
  size_t shmSize = 0;
  bool shmMapped = false;  // our side's pages of the segment are in place

  // The screen as the server has it now: the root window's size and the monitors,
  // the primary one first.
  struct Layout {
    QRect root;
    std::vector<QRect> monitors;
  };
  Layout cachedLayout;
  bool layoutKnown = false;
  std::chrono::steady_clock::time_point layoutAsked;
  static constexpr std::chrono::milliseconds kLayoutFresh{500};

  // The layout as it stands. It is asked of the server again when RandR tells of a
  // change (a new size, a rotation, an output), and otherwise after a moment:
  // monitors set up with `xrandr --setmonitor` come without any notification. The
  // steps of one capture thus see one layout, at no extra round trip.
  const Layout& current() {
    while (xcb_generic_event_t* e = conn ? xcb_poll_for_event(conn) : nullptr) {
      layoutKnown = false;  // the only events this connection asked for
      std::free(e);
    }
    const auto now = std::chrono::steady_clock::now();
    if (!layoutKnown || now - layoutAsked > kLayoutFresh) {
      cachedLayout = layout();
      layoutKnown = true;
      layoutAsked = now;
    }
    return cachedLayout;
  }

  Layout layout() const {
    Layout l;
    if (!conn) return l;
    // The setup data keeps the size the root window had when we connected.
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, screen->root), nullptr);
    l.root = g ? QRect(0, 0, g->width, g->height) : QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    std::free(g);
    if (randrMonitors) {
      xcb_randr_get_monitors_reply_t* m =
          xcb_randr_get_monitors_reply(conn, xcb_randr_get_monitors(conn, screen->root, 1), nullptr);
      if (m) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(m); it.rem; xcb_randr_monitor_info_next(&it)) {
          const QRect r(it.data->x, it.data->y, it.data->width, it.data->height);
          if (r.isEmpty()) continue;
          if (it.data->primary)
            l.monitors.insert(l.monitors.begin(), r);
          else
            l.monitors.push_back(r);
        }
        std::free(m);
      }
    }
    if (l.monitors.empty()) l.monitors.push_back(l.root);
    return l;
  }

  ~Impl() {
    releaseSegment();
    if (conn) xcb_disconnect(conn);
  }

  void releaseSegment() {
    if (shmAddr) {
      xcb_shm_detach(conn, seg);
      xcb_flush(conn);
      shmdt(shmAddr);
      shmAddr = nullptr;
      shmSize = 0;
    }
  }

  // Makes sure the shared segment holds at least `bytes`; false when shared memory
  // cannot be used (a remote server, for example), which switches it off for good.
  bool ensureSegment(size_t bytes) {
    if (shmAddr && shmSize >= bytes) return true;
    releaseSegment();
    int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
      shm = false;
      return false;
    }
    void* addr = shmat(id, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
      shmctl(id, IPC_RMID, nullptr);
      shm = false;
      return false;
    }
    seg = xcb_generate_id(conn);
    xcb_generic_error_t* err = xcb_request_check(conn, xcb_shm_attach_checked(conn, seg, uint32_t(id), 0));
    // Once both sides are attached the segment can be marked for removal: it then
    // disappears with the last user, even if the program dies.
    shmctl(id, IPC_RMID, nullptr);
    if (err) {
      std::free(err);
      shmdt(addr);
      shm = false;
      return false;
    }
    shmAddr = addr;
    shmSize = bytes;
    shmMapped = false;
    return true;
  }

  // Reads the on-screen rectangle (x, y, w, h) into `target` at (dx, dy). Only a
  // `fresh` target, and the segment's first use, have pages to fault in: a kept
  // picture and a kept segment are mapped already, and asking again walks every
  // page for nothing.
  bool read(int x, int y, int w, int h, QImage& target, int dx, int dy, bool fresh) {
    const size_t bytes = size_t(w) * size_t(h) * 4;
    auto prefaultTarget = [&] {
      if (fresh) prefault(target.scanLine(dy), size_t(h) * size_t(target.bytesPerLine()), MADV_POPULATE_WRITE);
    };
    if (shm && ensureSegment(bytes)) {
      const xcb_shm_get_image_cookie_t cookie = xcb_shm_get_image(
          conn, screen->root, int16_t(x), int16_t(y), uint16_t(w), uint16_t(h), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0);
      xcb_flush(conn);
      prefaultTarget();  // while the server fills the segment
      xcb_generic_error_t* err = nullptr;
      xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(conn, cookie, &err);
      if (reply && !err && reply->depth >= 24) {
        std::free(reply);
        if (!shmMapped) prefault(shmAddr, shmSize, MADV_POPULATE_READ);
        shmMapped = true;
        copyRows(target, dx, dy, static_cast<const uint32_t*>(shmAddr), w, h);
        return true;
      }
      // Whatever went wrong with the shared segment, plain GetImage takes over
      // for good: it is slower but always there.
      std::free(reply);
      std::free(err);
      releaseSegment();
      shm = false;
    }
    prefaultTarget();
    // GetImage replies are limited in size; read in bands of rows.
    const int bandRows = std::max(1, int((1u << 22) / (uint32_t(w) * 4)));
    for (int top = 0; top < h; top += bandRows) {
      const int rows = std::min(bandRows, h - top);
      xcb_generic_error_t* err = nullptr;
      xcb_get_image_reply_t* reply = xcb_get_image_reply(
          conn,
          xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(x), int16_t(y + top), uint16_t(w),
                        uint16_t(rows), ~0u),
          &err);
      if (!reply || err || reply->depth < 24 ||
          size_t(xcb_get_image_data_length(reply)) < size_t(w) * size_t(rows) * 4) {
        std::free(reply);
        std::free(err);
        return false;
      }
      const auto* src = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
      for (int row = 0; row < rows; ++row)
        copyRow(reinterpret_cast<uint32_t*>(target.scanLine(dy + top + row)) + dx, src + size_t(row) * size_t(w), w);
      std::free(reply);
    }
    return true;
  }
};

XcbScreen::XcbScreen(bool sharedMemory) : d_(std::make_unique<Impl>()) {
  int screenNumber = 0;
  d_->conn = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(d_->conn)) {
    xcb_disconnect(d_->conn);
    d_->conn = nullptr;
    return;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d_->conn));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  d_->screen = it.data;

  // Monitors came with RandR 1.5; without them the root window is the one monitor.
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(d_->conn, &xcb_randr_id);
  if (randr && randr->present) {
    xcb_randr_query_version_reply_t* v =
        xcb_randr_query_version_reply(d_->conn, xcb_randr_query_version(d_->conn, 1, 5), nullptr);
    d_->randrMonitors = v && (v->major_version > 1 || v->minor_version >= 5);
    std::free(v);
    xcb_randr_select_input(d_->conn, d_->screen->root,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    xcb_flush(d_->conn);
  }

  // The pointer's picture needs XFixes 4 (cursor images came with version 1, but
  // the version must be announced before any other request of the extension).
  const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(d_->conn, &xcb_xfixes_id);
  if (fixes && fixes->present) {
    xcb_xfixes_query_version_reply_t* v =
        xcb_xfixes_query_version_reply(d_->conn, xcb_xfixes_query_version(d_->conn, 4, 0), nullptr);
    d_->xfixes = v && v->major_version >= 1;
    std::free(v);
  }

  // A request of an extension the server lacks would close the connection, so
  // the extension's presence is asked first (remote displays, Xvfb without it).
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(d_->conn, &xcb_shm_id);
  if (sharedMemory && ext && ext->present) {
    xcb_shm_query_version_reply_t* version =
        xcb_shm_query_version_reply(d_->conn, xcb_shm_query_version(d_->conn), nullptr);
    d_->shm = version != nullptr;
    std::free(version);
  }
}

XcbScreen::~XcbScreen() = default;

bool XcbScreen::connected() const { return d_->conn != nullptr; }

bool XcbScreen::usesSharedMemory() const { return d_->shm; }

QRect XcbScreen::primary() const { return d_->conn ? d_->current().monitors.front() : QRect(); }


QSize XcbScreen::size() const { return primary().size(); }

std::optional<QPoint> XcbScreen::pointer() const {
  if (!d_->conn) return std::nullopt;
  xcb_query_pointer_reply_t* p = xcb_query_pointer_reply(d_->conn, xcb_query_pointer(d_->conn, d_->screen->root), nullptr);
  if (!p) return std::nullopt;
  const QPoint root(p->root_x, p->root_y);
  std::free(p);
  return root - primary().topLeft();
}

std::vector<QRect> XcbScreen::monitors() const {
  if (!d_->conn) return {};
  std::vector<QRect> list = d_->current().monitors;
  const QPoint origin = list.front().topLeft();
  for (QRect& m : list) m.translate(-origin);
  return list;
}

std::optional<PointerImage> XcbScreen::pointerImage() const {
  if (!d_->conn || !d_->xfixes) return std::nullopt;
  xcb_xfixes_get_cursor_image_reply_t* c =
      xcb_xfixes_get_cursor_image_reply(d_->conn, xcb_xfixes_get_cursor_image(d_->conn), nullptr);
  if (!c) return std::nullopt;
  std::optional<PointerImage> result;
  const int w = c->width, h = c->height;
  if (w > 0 && h > 0 && xcb_xfixes_get_cursor_image_cursor_image_length(c) >= w * h) {
    // The pixels come as 32-bit ARGB words, premultiplied, as QImage keeps them.
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const uint32_t* src = xcb_xfixes_get_cursor_image_cursor_image(c);
    for (int y = 0; y < h; ++y) std::memcpy(image.scanLine(y), src + size_t(y) * size_t(w), size_t(w) * 4);
    const QPoint root(int(c->x) - c->xhot, int(c->y) - c->yhot);
    result = PointerImage{image, root - primary().topLeft()};
  }
  std::free(c);
  return result;
}

bool XcbScreen::grab(const ScreenRect& rect, QImage& target) {
  const int64_t w = rect.width();
  const int64_t h = rect.height();
  if (!d_->conn || w < 0 || h < 0 || w > std::numeric_limits<int32_t>::max() ||
      h > std::numeric_limits<int32_t>::max())
    return false;
  // Grabs of the same size reuse the picture's memory once nobody else shares it:
  // a fresh frame-sized buffer costs more in page faults than the copy itself.
  const bool fresh =
      target.size() != QSize(int(w), int(h)) || target.format() != QImage::Format_RGB32 || !target.isDetached();
  if (fresh) target = newFrame(int(w), int(h));
  if (w == 0 || h == 0) return true;
  if (target.isNull()) return false;  // too large to hold

  // The root window in rectangle coordinates; the part of the rectangle off it is black.
  const Impl::Layout layout = d_->current();
  const QRect primary = layout.monitors.front();
  const int64_t rootLeft = primary.left(), rootTop = primary.top();
  const int64_t screenW = layout.root.width(), screenH = layout.root.height();
  const int64_t x0 = std::max<int64_t>(rect.Left + rootLeft, 0), y0 = std::max<int64_t>(rect.Top + rootTop, 0);
  const int64_t x1 = std::min<int64_t>(rect.Right + rootLeft, screenW);
  const int64_t y1 = std::min<int64_t>(rect.Bottom + rootTop, screenH);
  const bool whole = x0 == rect.Left + rootLeft && y0 == rect.Top + rootTop && x1 == rect.Right + rootLeft &&
                     y1 == rect.Bottom + rootTop;
  if (!whole) target.fill(Qt::black);
  if (x0 >= x1 || y0 >= y1) return true;
  if (!d_->read(int(x0), int(y0), int(x1 - x0), int(y1 - y0), target, int(x0 - rect.Left - rootLeft),
                int(y0 - rect.Top - rootTop), fresh))
    return false;
  // Root-window pixels that no monitor shows (beside a smaller monitor, say) are
  // not part of anybody's screen: black, as off the screen.
  QRegion uncovered(QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0)));
  for (const QRect& m : layout.monitors) uncovered -= m;
  const QPoint toTarget(int(-rect.Left - rootLeft), int(-rect.Top - rootTop));
  for (const QRect& r : uncovered) {
    const QRect t = r.translated(toTarget);
    for (int y = t.top(); y <= t.bottom(); ++y)
      std::fill_n(reinterpret_cast<uint32_t*>(target.scanLine(y)) + t.left(), t.width(), 0xff000000u);
  }
  return true;
}

}  // namespace lumora
