#include <gtest/gtest.h>

#include "platform/wayland/SwayTree.h"

using namespace lumora;

namespace {

// A view as sway 1.7 describes it; `rect` holds the borders, the title bar is above it.
QByteArray view(int pid, QRect r, int title, const char* extra = "") {
  return QStringLiteral(R"({"type":"con","pid":%1,"border":"%2","visible":true,%3
      "rect":{"x":%4,"y":%5,"width":%6,"height":%7},"deco_rect":{"x":0,"y":0,"width":%6,"height":%8},
      "nodes":[],"floating_nodes":[]})")
      .arg(pid)
      .arg(title ? "normal" : "pixel")
      .arg(QLatin1String(extra))
      .arg(r.x())
      .arg(r.y())
      .arg(r.width())
      .arg(r.height())
      .arg(title)
      .toUtf8();
}

QByteArray tree() {
  const QByteArray tiled = view(10, {0, 24, 640, 696}, 24) + "," +
                           R"({"type":"con","nodes":[)" + view(11, {640, 24, 640, 348}, 24, R"("focused":true,)") +
                           "," + view(12, {640, 396, 640, 324}, 24, R"("visible":false,)") + R"(],"floating_nodes":[]})";
  const QByteArray floating = view(13, {100, 100, 300, 200}, 0) + "," + view(14, {200, 150, 300, 200}, 0) + "," +
                              view(99, {0, 0, 50, 50}, 0);
  const QByteArray hidden = R"({"type":"workspace","name":"2","nodes":[)" + view(15, {0, 0, 1280, 720}, 0) +
                            R"(],"floating_nodes":[]})";
  return R"({"type":"root","nodes":[{"type":"output","name":"__i3","current_workspace":"__i3_scratch","nodes":[
             {"type":"workspace","name":"__i3_scratch","nodes":[)" +
         view(16, {0, 0, 10, 10}, 0) + R"(],"floating_nodes":[]}]},
           {"type":"output","name":"HEADLESS-1","current_workspace":"1","nodes":[
             {"type":"workspace","name":"1","nodes":[)" +
         tiled + R"(],"floating_nodes":[)" + floating + "]}," + hidden + "]}]}";
}

TEST(SwayTreeTest, TheViewsOfTheShownWorkspacesTopmostFirstWithTheirTitleBars) {
  const SwayTree t(tree(), 99);
  const std::vector<QRect> want = {{200, 150, 300, 200}, {100, 100, 300, 200}, {640, 0, 640, 372}, {0, 0, 640, 720}};
  EXPECT_EQ(t.frames(), want);
  EXPECT_EQ(t.focused(), QRect(640, 0, 640, 372));
}

TEST(SwayTreeTest, NothingFromWhatIsNoTree) {
  for (const char* json : {"", "[]", "{\"nodes\":7}", "not json"}) {
    const SwayTree t(json, 1);
    EXPECT_TRUE(t.frames().empty()) << json;
    EXPECT_FALSE(t.focused()) << json;
  }
}

}  // namespace
