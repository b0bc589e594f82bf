#pragma once

#include <QString>

// The program's version information, compiled in from the build.
struct VersionInfo {
    QString productName;
    QString version;
    QString description;
    QString legalNotice;
};

VersionInfo programVersionInfo();
