#pragma once

#include <QImage>

namespace lumora {

// The system clipboard as the savers use it.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard and puts the picture on it. A picture with a colour
  // table reaches other programs in the table's colours.
  virtual void setImage(const QImage& image) = 0;
};

}  // namespace lumora
