#pragma once

#include "spellbook/DefaultSpellbook.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace quorvane::spellbook {

// The reference document of a language as a pane text: every line followed by CR LF. The
// documents are built into the program; one line of the document is one paragraph.
QString referenceText(Language language);

// The English document as the reference pane shows it at start-up: every paragraph longer
// than 96 characters broken at spaces into lines of at most 96, the space before each break
// kept at the end of its line, so that joining a paragraph's lines gives it back.
QString startupReferenceText();

// Breaks one paragraph as above (a word longer than the width is cut at the width).
QStringList hardWrap(QStringView paragraph, qsizetype width = 96);

} // namespace quorvane::spellbook
