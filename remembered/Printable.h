// Text from a camera made safe to print on a terminal or to write into a
// settings file: one line, nothing that moves the cursor.
#pragma once

#include <QString>

namespace vidorra::remembered {

// Control characters (C0, DEL, C1) as \xNN, so that a record or a name from a
// camera cannot move the cursor or change the terminal.
QString printable(const QString &text);

}  // namespace vidorra::remembered
