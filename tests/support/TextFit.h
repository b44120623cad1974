#pragma once

#include <QStringList>

class QLabel;
class QWidget;

namespace lumora::test {

// How many lines a label's text takes where the label paints it.
int LaidOutLines(const QLabel& label);

// Every text of the shown `window` that does not fit its control: labels,
// push, tool, check and radio buttons, group box titles and tabs. Each entry
// names the control, its text and the widths needed and given.
QStringList Misfits(const QWidget& window);

}  // namespace lumora::test
