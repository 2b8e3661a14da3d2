#pragma once
#include <QString>
#include <QVector>

// One thing the definition reader repaired or left out while it read a file. The reader never fails
// loudly (an unreadable file reads as empty), so this is where a broken data file shows itself.
struct DefinitionDiagnostic {
    enum Kind {
        // Accepted deviations: the file loads, read as its authors meant it.
        RepeatedAttribute,  // an attribute stood twice in one start tag; the last value counts
        MissingBlank,       // no blank between a value's closing quote and the next attribute
        UndeclaredEntity,   // a reference to an entity the document does not declare, dropped
        // Content that did not reach the tables.
        FileNotOpened,      // the file could not be opened: read as an empty document
        NotWellFormed,      // the parser refused the file: read as an empty document
        BadEncoding,        // bytes that do not decode in the file's encoding (replaced)
        TableFull,          // a node beyond the capacity of its table, left out
        TooLarge            // a file beyond the reader's size or nesting limits: read as an empty document
    };

    Kind kind = NotWellFormed;
    QString path;
    QString message;
    int line = 0;    // 1-based; 0 when the diagnostic concerns the whole file
    int column = 0;

    // True for everything that lost content; false for the accepted deviations.
    bool isSkippedContent() const { return kind >= FileNotOpened; }
    // "path:line:column: message", as the debug trace prints it.
    QString toString() const;
};
using DefinitionDiagnostics = QVector<DefinitionDiagnostic>;

// Diagnostics of a document loading run, collected before the reader files them. A hostile file
// can hold a finding in every few bytes: the first MaxItems are kept, the rest only counted.
class DiagnosticSink
{
public:
    static constexpr int MaxItems = 200;

    explicit DiagnosticSink(const QString &path) : m_path(path) {}
    void add(DefinitionDiagnostic::Kind kind, const QString &message, int line = 0, int column = 0);
    // True once MaxItems are kept: a caller may then skip making the message of a further one and
    // call addLeftOut() instead.
    bool isFull() const { return m_items.size() >= MaxItems; }
    void addLeftOut() { ++m_leftOut; }
    const DefinitionDiagnostics &items() const { return m_items; }
    int leftOut() const { return m_leftOut; }

private:
    QString m_path;
    DefinitionDiagnostics m_items;
    int m_leftOut = 0;
};
