#pragma once

#include <QFont>

namespace lumora {

// The one font of every window and dialog of the program: the small dialog font
// their layouts were made for. "Arial" resolves to its metric twin, Liberation Sans.
QFont ProgramFont();

}  // namespace lumora
