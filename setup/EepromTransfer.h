#pragma once

#include "setup/EepromImage.h"

#include <QString>

#include <functional>

class QWidget;
class TTComXDlg;

// A line of the main log (AddLog), handed in by the window.
using MainLogLine = std::function<void(const QString &line)>;

// Which areas a reader has: with p310 area 1 goes in two halves of 10 words and area 2 is never
// touched; otherwise area 1 in one go and area 2 only with ver121.
struct EepromAreaFlags {
    bool p310 = false;
    bool ver121 = false;
};

// Reads both images through the hub's EEPROM read (each waits for its reply); 1 = read, 0 =
// failed, with one main-log line per read ("OK: RxEepromData", "ERROR: RxEepromData2", ...).
// Both images are zero-filled first, so an area that wasn't read never carries old bytes.
int ReadEepromAreas(TTComXDlg &hub, const MainLogLine &log, EepromAreaFlags flags, EepromData &area1,
                    EepromData2 &area2);

// Writes both images, each write followed by WaitReply and one main-log line. With p310 a
// failed first half skips the second; area 2 is written after area 1 whatever its result.
void WriteEepromAreas(TTComXDlg &hub, const MainLogLine &log, EepromAreaFlags flags, const EepromData &area1,
                      const EepromData2 &area2);

// The hidden dump of the reader's current areas to "KV8RWConf.KVI" in the program folder:
// area 1, and area 2 when readArea2 is set (else zeros); area-2 keys only with ver121. A read
// that fails or a file that can't be written leaves the file as it was and says so in a box
// (the log is silenced while it runs).
void DumpReaderSettings(TTComXDlg &hub, bool readArea2, bool ver121, QWidget *parent);
