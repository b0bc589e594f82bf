#include "platform/MemoSink.h"

#include <QPlainTextEdit>
#include <QTextDocument>

PlainTextMemoSink::PlainTextMemoSink(QPlainTextEdit *edit) : edit_(edit) {}

int PlainTextMemoSink::lineCount() const
{
    if (!edit_)
        return 0;
    // An empty document still has one (empty) block; a memo with no text has no lines.
    const QTextDocument *doc = edit_->document();
    if (doc->isEmpty())
        return 0;
    return doc->blockCount();
}

void PlainTextMemoSink::clear()
{
    if (edit_)
        edit_->clear();
}

void PlainTextMemoSink::appendLine(const QString &line)
{
    if (edit_)
        edit_->appendPlainText(line);
}
