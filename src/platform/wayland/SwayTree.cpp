#include "platform/wayland/SwayTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace lumora {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr uint32_t kGetTree = 4;
constexpr int kTimeoutMs = 500;

QRect rectOf(const QJsonObject& o, const char* key) {
  const QJsonObject r = o.value(QLatin1String(key)).toObject();
  return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
               r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

bool isView(const QJsonObject& o) { return o.contains(QLatin1String("pid")) && o.value(QLatin1String("nodes")).toArray().isEmpty(); }

// A view's outer frame: sway's `rect` holds the borders, the title bar sits just above it.
QRect frameOf(const QJsonObject& view) {
  QRect r = rectOf(view, "rect");
  const int title = rectOf(view, "deco_rect").height();
  if (title > 0 && view.value(QLatin1String("border")).toString() == QLatin1String("normal")) r.setTop(r.top() - title);
  return r;
}

struct Collected {
  QJsonObject object;
  bool floating;
};

// Every view below `node`, the bottom first.
void collect(const QJsonObject& node, bool floating, std::vector<Collected>& out) {
  for (const QJsonValue& v : node.value(QLatin1String("nodes")).toArray()) {
    const QJsonObject child = v.toObject();
    if (isView(child))
      out.push_back({child, floating});
    else
      collect(child, floating, out);
  }
  for (const QJsonValue& v : node.value(QLatin1String("floating_nodes")).toArray()) {
    const QJsonObject child = v.toObject();
    if (isView(child))
      out.push_back({child, true});
    else
      collect(child, true, out);
  }
}

bool readAll(int fd, char* data, size_t size) {
  while (size > 0) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kTimeoutMs) <= 0) return false;
    const ssize_t n = read(fd, data, size);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

}  // namespace

std::optional<QByteArray> SwayTree::Ask(const QString& socketPath) {
  const QByteArray path = socketPath.toLocal8Bit();
  sockaddr_un addr{};
  if (path.isEmpty() || size_t(path.size()) >= sizeof(addr.sun_path)) return std::nullopt;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  std::optional<QByteArray> answer;
  char header[14];
  std::memcpy(header, kMagic, 6);
  const uint32_t length = 0, type = kGetTree;
  std::memcpy(header + 6, &length, 4);
  std::memcpy(header + 10, &type, 4);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 &&
      send(fd, header, sizeof header, MSG_NOSIGNAL) == ssize_t(sizeof header) && readAll(fd, header, sizeof header) &&
      std::memcmp(header, kMagic, 6) == 0) {
    uint32_t size = 0;
    std::memcpy(&size, header + 6, 4);
    QByteArray body(qsizetype(std::min<uint32_t>(size, 64u << 20)), Qt::Uninitialized);
    if (size_t(body.size()) == size && readAll(fd, body.data(), size_t(body.size()))) answer = body;
  }
  close(fd);
  return answer;
}

SwayTree::SwayTree(const QByteArray& json, qint64 ownPid) {
  const QJsonObject root = QJsonDocument::fromJson(json).object();
  std::vector<QRect> fullScreen, floating, tiled;
  for (const QJsonValue& o : root.value(QLatin1String("nodes")).toArray()) {
    const QJsonObject output = o.toObject();
    // The scratchpad lives on a pseudo output nobody sees.
    if (output.value(QLatin1String("name")).toString() == QLatin1String("__i3")) continue;
    const QString shown = output.value(QLatin1String("current_workspace")).toString();
    for (const QJsonValue& w : output.value(QLatin1String("nodes")).toArray()) {
      const QJsonObject workspace = w.toObject();
      if (workspace.value(QLatin1String("name")).toString() != shown) continue;
      std::vector<Collected> views;
      collect(workspace, false, views);
      for (auto it = views.rbegin(); it != views.rend(); ++it) {
        const QJsonObject& view = it->object;
        if (view.value(QLatin1String("visible")).toBool(true) == false) continue;
        if (view.value(QLatin1String("pid")).toInteger() == ownPid) continue;
        const QRect frame = frameOf(view);
        if (frame.isEmpty()) continue;
        if (view.value(QLatin1String("fullscreen_mode")).toInt() != 0)
          fullScreen.push_back(frame);
        else
          (it->floating ? floating : tiled).push_back(frame);
        if (view.value(QLatin1String("focused")).toBool()) focused_ = frame;
      }
    }
  }
  for (auto* list : {&fullScreen, &floating, &tiled}) frames_.insert(frames_.end(), list->begin(), list->end());
}

}  // namespace lumora
