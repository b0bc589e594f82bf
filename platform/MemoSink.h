#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>

// A target for log lines: the main window's memo, the command runner's memo, or an
// in-memory list (tests and benchmarks, where a text widget would measure Qt's layout).
// Writers that switch their target hold a pointer to this interface.
class MemoSink
{
public:
    virtual ~MemoSink() = default;
    virtual int lineCount() const = 0;
    virtual void clear() = 0;
    // One whole line; the text is expected to hold no line break of its own.
    virtual void appendLine(const QString &line) = 0;
};

// Lines of a QPlainTextEdit. The widget may die before the writer that points here: the sink
// then counts zero lines and drops what it is given.
class PlainTextMemoSink : public MemoSink
{
public:
    explicit PlainTextMemoSink(QPlainTextEdit *edit);
    QPlainTextEdit *edit() const { return edit_; }
    int lineCount() const override;
    void clear() override;
    void appendLine(const QString &line) override;

private:
    QPointer<QPlainTextEdit> edit_;
};

// Lines kept in memory.
class MemoryMemoSink : public MemoSink
{
public:
    int lineCount() const override { return static_cast<int>(lines.size()); }
    void clear() override { lines.clear(); }
    void appendLine(const QString &line) override { lines.append(line); }
    QStringList lines;
};
