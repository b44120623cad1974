#include "platform/x11/XcbScreensaver.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace lumora {

XcbScreensaver::XcbScreensaver(xcb_connection_t* connection) : conn_(connection) {
  if (!conn_) return;
  xcb_get_screen_saver_reply_t* reply = xcb_get_screen_saver_reply(conn_, xcb_get_screen_saver(conn_), nullptr);
  if (!reply) return;
  timeoutAtStart_ = int16_t(reply->timeout);
  interval_ = int16_t(reply->interval);
  preferBlanking_ = reply->prefer_blanking;
  allowExposures_ = reply->allow_exposures;
  std::free(reply);
}

bool XcbScreensaver::setActive(bool on) {
  if (!conn_) return false;
  // -1 asks for the server's default timeout.
  const int16_t timeout = on ? (timeoutAtStart_ > 0 ? timeoutAtStart_ : int16_t(-1)) : int16_t(0);
  xcb_generic_error_t* err = xcb_request_check(
      conn_, xcb_set_screen_saver_checked(conn_, timeout, interval_, preferBlanking_, allowExposures_));
  if (err) {
    std::free(err);
    return false;
  }
  return true;
}

}  // namespace lumora
