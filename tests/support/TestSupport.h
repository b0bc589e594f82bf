#pragma once

#include "platform/FileDialogService.h"
#include "platform/MessageService.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Bytes as "02 00 52 00 03 57 0D", for failure messages that show what was expected and got.
std::string hexOf(const QByteArray &bytes);
std::string hexOf(const std::vector<uint8_t> &bytes);
QByteArray bytesOf(std::initializer_list<int> values);

// Records every message box and answers it with a fixed answer while it lives; the
// previous hook is restored afterwards.
class MessageBoxRecorder
{
public:
    explicit MessageBoxRecorder(int answer = Msg::IdOk);
    ~MessageBoxRecorder();
    void setAnswer(int answer) { answer_ = answer; }
    QList<MessageRequest> boxes;
    QStringList texts() const;

private:
    int answer_;
};

// Answers every file dialog with the next of the given answers (cancelled when none is left)
// and records the requests while it lives; an unexpected dialog fails the test afterwards.
class FileDialogRecorder
{
public:
    explicit FileDialogRecorder(QList<FileDialogAnswer> answers = {});
    ~FileDialogRecorder();
    QList<FileDialogRequest> requests;

private:
    QList<FileDialogAnswer> answers_;
};

// Installed for every test executable: a file dialog or message box that no test expected is answered
// with Cancel and fails the running test, so no real modal box can block a run.
class MessageBoxGuardEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
};
