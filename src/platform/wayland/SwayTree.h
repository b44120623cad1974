#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace lumora {

// sway's window tree (its IPC answer to GET_TREE) read for the windows on the
// screen: the views of each output's shown workspace, with their borders and
// title bars, in sway's layout coordinates.
class SwayTree {
 public:
  // The tree as sway sends it now, over its socket (SWAYSOCK); nothing when it
  // cannot be asked within a moment.
  static std::optional<QByteArray> Ask(const QString& socket);

  // Parses `json`, leaving out the views of process `ownPid`.
  SwayTree(const QByteArray& json, qint64 ownPid);
  // The topmost first: full-screen views, then floating ones from the top down,
  // then the tiled ones.
  const std::vector<QRect>& frames() const { return frames_; }
  // The focused view, when it is one of `frames()`.
  std::optional<QRect> focused() const { return focused_; }

 private:
  std::vector<QRect> frames_;
  std::optional<QRect> focused_;
};

}  // namespace lumora
