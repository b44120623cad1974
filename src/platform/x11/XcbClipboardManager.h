#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>

#include "platform/ClipboardManager.h"

struct xcb_connection_t;

namespace lumora {

// The X11 clipboard manager: the owner of the CLIPBOARD_MANAGER selection, asked
// with a SAVE_TARGETS conversion. The list of MIME types goes with the request,
// so the manager fetches the formats that matter and not every one Qt could make.
// The answer arrives through Qt's native event filter.
class XcbClipboardManager : public ClipboardManager, public QAbstractNativeEventFilter {
 public:
  // `connection` is the application's own X connection.
  explicit XcbClipboardManager(xcb_connection_t* connection);
  ~XcbClipboardManager() override;
  XcbClipboardManager(const XcbClipboardManager&) = delete;
  XcbClipboardManager& operator=(const XcbClipboardManager&) = delete;

  bool present() override;
  void save(const QStringList& mimeTypes, std::function<void(bool)> done) override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  uint32_t atom(const QByteArray& name);

  xcb_connection_t* conn_;
  uint32_t window_ = 0;
  uint32_t managerAtom_ = 0;
  std::function<void(bool)> done_;
};

}  // namespace lumora
