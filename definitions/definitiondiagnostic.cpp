#include "definitiondiagnostic.h"

QString DefinitionDiagnostic::toString() const
{
    QString where = path;
    if (line > 0)
        where += QStringLiteral(":%1:%2").arg(line).arg(column);
    return where + QStringLiteral(": ") + message;
}

void DiagnosticSink::add(DefinitionDiagnostic::Kind kind, const QString &message, int line, int column)
{
    if (isFull()) {
        addLeftOut();
        return;
    }
    DefinitionDiagnostic d;
    d.kind = kind;
    d.path = m_path;
    d.message = message;
    d.line = line;
    d.column = column;
    m_items.append(d);
}
