#include "app/cli/AutostartCommand.h"

#include <QFile>

#include "platform/fs/Autostart.h"

namespace lumora {

int AutostartCommand(const Autostart& autostart, bool on, FILE* out, FILE* err) {
  const QByteArray path = QFile::encodeName(autostart.path());
  if (on && !Autostart::EntryText(autostart.program())) {
    std::fprintf(err, "lumora: the program's path cannot be written into a desktop entry: %s\n",
                 autostart.program().toUtf8().constData());
    return 1;
  }
  if (!autostart.set(on)) {
    std::fprintf(err, "lumora: cannot %s %s\n", on ? "write" : "remove", path.constData());
    return 1;
  }
  if (on)
    std::fprintf(out, "Lumora starts with the session (%s).\n", path.constData());
  else
    std::fprintf(out, "Lumora no longer starts with the session.\n");
  return 0;
}

}  // namespace lumora
