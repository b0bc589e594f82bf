#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The USB reader's interface as this program finds it on Linux: a folder holding the two pipe
// files "PIPE00" (to the reader) and "PIPE01" (from the reader), as a kernel driver or a test
// fixture provides them, one folder per reader under one base directory: $KV8_USB_DIR, or
// /dev/kv8usb when that is not set.

QString usbBaseDirectory();
// Tests point the search at a folder of their own ("" restores the usual one).
void setUsbBaseDirectoryForTest(const QString &directory);

// The folders under the base directory that hold both pipe files, sorted by name.
QStringList usbInterfaceFolders();
// The folder opened O_RDONLY|O_DIRECTORY; -1 with errno set.
int openUsbInterface(const QString &folder);
// A pipe opened O_RDWR|O_NONBLOCK; -1 with errno set.
int openUsbPipe(const QString &path);
// Writes all count bytes. While the pipe is full the event loop runs; after timeoutMs without
// room, or when the write fails, the result is false. written: the bytes that went in.
bool writeUsbPipe(int fd, const uint8_t *data, int count, int timeoutMs, int *written);
// The bytes the pipe holds now, up to count, without waiting; 0 when none or on failure.
int readUsbPipe(int fd, uint8_t *buffer, int count);
