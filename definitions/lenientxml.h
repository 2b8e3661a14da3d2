#pragma once
#include "definitiondiagnostic.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// The document loader of the definition reader. The shipped data files were written by hand and
// contain three faults that a strict XML parser refuses: an attribute repeated in one start tag,
// attributes without a blank between them, and references to undeclared entities ("&nbsp;"). The
// loader mends exactly these before parsing and notes each mend; anything else that is not
// well-formed makes the whole file read as an empty document.
namespace LenientXml {

// Decodes a file's bytes: a byte-order mark first (UTF-8, UTF-16 either way), then the encoding
// named by the XML declaration, else UTF-8.
QString decode(const QByteArray &bytes, DiagnosticSink &sink);

// Elements nest at most this deep (the shipped files nest about 7 deep); a deeper file reads as an
// empty document, before the parser, which descends one call per level, ever sees it.
constexpr int MaxDepth = 256;

// Mends the three accepted faults, in time linear in the text's length. Line breaks are kept, so
// line numbers stay those of the file. A text nested deeper than MaxDepth sets *tooDeep and gives
// nothing of use.
QString repair(const QString &text, DiagnosticSink &sink, bool *tooDeep = nullptr);

// decode + repair + parse. White-space-only text forms no node; other text, comments and CDATA
// sections are nodes. A document the parser refuses comes back empty (never a partial tree).
QDomDocument parse(const QByteArray &bytes, DiagnosticSink &sink);

}
