#pragma once

namespace lumora {

// The version comes from the build (the project's version in CMake).
// The title of the application, used as the caption of the general error report.
inline constexpr const char* kApplicationTitle = "Lumora 2002 V " LUMORA_VERSION;
// The caption of the options window.
inline constexpr const char* kOptionsWindowTitle = "Lumora 2002 - Version " LUMORA_VERSION;

}  // namespace lumora
