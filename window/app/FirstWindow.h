// Two slow first times of a Windows process, made side by side before the
// form is built. Qt asks Direct3D for the graphics adapter when it makes the
// process's first window; and Qt's font database reads the names of every
// installed font the first time a font request has no exact match, which the
// form's first font request would otherwise wait for. The form cannot avoid
// that search: its style sheets' "font: 75 ..." is a CSS weight, 75 / 8 = 9,
// which no installed face has, and the status label asks for weight 25.
#pragma once

#include <QFont>

namespace vidorra {

// Makes and drops a hidden window while a worker resolves the font that
// makeFont returns (made on the worker: a QFont shared with this thread would
// be resolved by both). The font must never match exactly, so that the worker
// makes the search. Returns when both are done.
void makeFirstWindowBesideFontSearch(QFont (*makeFont)());

}  // namespace vidorra
