#include "platform/wayland/CompositorWindows.h"

#include <cmath>
#include <unistd.h>

#include "platform/wayland/SwayTree.h"

namespace lumora {

ScreenRect CompositorWindows::toScreen(const QRect& r, const PortalScreen::Desktop& d) const {
  auto px = [&](int v, int origin) { return int32_t(std::lround((v - origin) * d.scale)); };
  const QPoint o = d.primary.topLeft();
  return ScreenRect{px(r.left(), o.x()), px(r.top(), o.y()), px(r.left() + r.width(), o.x()),
                    px(r.top() + r.height(), o.y())};
}

std::vector<ScreenRect> CompositorWindows::windowFrames() {
  if (swaySocket_.isEmpty()) return {};
  const std::optional<QByteArray> json = SwayTree::Ask(swaySocket_);
  if (!json) return {};
  const PortalScreen::Desktop d = desktop_ ? desktop_() : PortalScreen::Desktop{};
  std::vector<ScreenRect> out;
  const SwayTree tree(*json, getpid());
  for (const QRect& r : tree.frames()) out.push_back(toScreen(r, d));
  return out;
}

std::optional<ScreenRect> CompositorWindows::activeWindowFrame() {
  if (swaySocket_.isEmpty()) return std::nullopt;
  const std::optional<QByteArray> json = SwayTree::Ask(swaySocket_);
  if (!json) return std::nullopt;
  const SwayTree tree(*json, getpid());
  if (!tree.focused()) return std::nullopt;
  return toScreen(*tree.focused(), desktop_ ? desktop_() : PortalScreen::Desktop{});
}

}  // namespace lumora
