#include "tests/support/TestSupport.h"

#include <cstdio>

std::string hexOf(const QByteArray &bytes)
{
    std::string out;
    char buf[4];
    for (int i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        if (i)
            out += ' ';
        out += buf;
    }
    return out;
}

std::string hexOf(const std::vector<uint8_t> &bytes)
{
    return hexOf(QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v & 0xFF));
    return out;
}

namespace
{
MessageHook unexpectedBoxHook()
{
    return [](const MessageRequest &req) {
        ADD_FAILURE() << "unexpected message box: [" << req.caption.toStdString() << "] " << req.text.toStdString();
        return static_cast<int>(Msg::IdCancel);
    };
}
FileDialogHook unexpectedFileDialogHook()
{
    return [](const FileDialogRequest &req) {
        ADD_FAILURE() << "unexpected file dialog: " << req.filters.toStdString();
        return FileDialogAnswer{};
    };
}
} // namespace

FileDialogRecorder::FileDialogRecorder(QList<FileDialogAnswer> answers) : answers_(std::move(answers))
{
    setFileDialogHook([this](const FileDialogRequest &req) {
        requests.append(req);
        return answers_.isEmpty() ? FileDialogAnswer{} : answers_.takeFirst();
    });
}

FileDialogRecorder::~FileDialogRecorder()
{
    setFileDialogHook(unexpectedFileDialogHook());
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer)
{
    setMessageHook([this](const MessageRequest &req) {
        boxes.append(req);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    setMessageHook(unexpectedBoxHook());
    setFileDialogHook(unexpectedFileDialogHook());
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList out;
    for (const auto &b : boxes)
        out << b.text;
    return out;
}

void MessageBoxGuardEnvironment::SetUp()
{
    setMessageHook(unexpectedBoxHook());
    setFileDialogHook(unexpectedFileDialogHook());
}
