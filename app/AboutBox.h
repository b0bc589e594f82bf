#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

// Value of one version-information key of the program (0 CompanyName, 1 FileDescription,
// 2 FileVersion, 3 InternalName, 4 LegalCopyright, 5 OriginalFilename, 7 ProductName, any
// other index ProductVersion); empty where the build carries no such value.
QString GetVersionString(int index);

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *owner = nullptr);

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Copyright;
    QLabel *Comments;
    QPushButton *OKButton;

    void ProgramIconClick() {}
};

extern TAboutBox *AboutBox;
