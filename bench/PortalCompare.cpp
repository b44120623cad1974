// A one-shot capture through the desktop portal against grim of the same output,
// both on headless sway at 1920 x 1080, in the same run. The portal runs grim
// itself, so grim's own time is the floor.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "SwaySession.h"

using namespace lumora::test;

namespace {

// A photo-like picture: smooth colour with fine noise, so PNG has real work.
QImage desktopPicture(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int n = int(seed >> 28);
      row[x] = qRgb((x * 255 / w + n) & 255, (y * 255 / h + n) & 255, ((x + y) * 255 / (w + h) + n) & 255);
    }
  }
  return img;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
  SwaySession session(desktopPicture(1920, 1080), 1920, 1080);
  if (!session.running()) {
    std::fprintf(stderr, "portal_compare: %s\n", qPrintable(session.error()));
    return 1;
  }
  const QString lumora = session.install(QStringLiteral(LUMORA_BINARY));
  const QStringList env{QStringLiteral("LUMORA_REGISTRY=") + session.folder() + "/bench.reg"};
  const QString bmp = session.folder() + "/lumora.bmp", png = session.folder() + "/grim.png";
  // The first run stores the settings; neither counts.
  session.run(lumora, {"--capture", "--delay", "0", "--output", bmp}, 60000, env);
  session.run(QStringLiteral("grim"), {png});

  std::vector<double> grim, portal;
  for (int i = 0; i < rounds; ++i) {
    QElapsedTimer t;
    t.start();
    if (session.run(QStringLiteral("grim"), {png}).exitCode != 0) return 1;
    grim.push_back(t.nsecsElapsed() / 1e6);
    t.restart();
    const ProcessResult r = session.run(lumora, {"--capture", "--delay", "0", "--output", bmp}, 60000, env);
    if (r.exitCode != 0) {
      std::fprintf(stderr, "portal_compare: lumora failed: %s\n", r.err.constData());
      return 1;
    }
    portal.push_back(t.nsecsElapsed() / 1e6);
  }
  const double g = median(grim), p = median(portal);
  std::printf("1920x1080 on headless sway, median of %d: grim %.1f ms, lumora --capture through the portal %.1f ms, "
              "ratio %.2f\n",
              rounds, g, p, p / g);
  return 0;
}
