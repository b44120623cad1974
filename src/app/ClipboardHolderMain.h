#pragma once

namespace lumora {

// The hidden mode `lumora --clipboard-holder`: the background process that a
// clipboard capture starts to keep its picture (BackgroundClipboard). Never
// returns: it leaves without Qt's teardown, which would otherwise offer the
// picture to a clipboard manager once more.
[[noreturn]] void RunClipboardHolder(int argc, char** argv);

}  // namespace lumora
