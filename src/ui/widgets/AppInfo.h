#pragma once

namespace lumora {

// The title of the application, used as the caption of the general error report.
inline constexpr const char* kApplicationTitle = "Lumora 2002 V 2.7.0";
// The caption of the options window.
inline constexpr const char* kOptionsWindowTitle = "Lumora 2002 - Version 2.7.0";

}  // namespace lumora
