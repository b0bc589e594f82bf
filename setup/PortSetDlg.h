#pragma once

#include <QDialog>

class ChoiceGroup;
class QPushButton;

// The serial port choice "COMポートの設定": COM1 to COM10 in RGSetPort (item index = port
// number - 1), confirmed with "設定". The caller presets the port, runs the dialog and reads the
// choice back:
//
//     TPortSetDlg dialog(this);
//     dialog.SetPortNo(current);
//     if (dialog.exec() == QDialog::Accepted && dialog.PortNo() != 0)
//         ... open COM dialog.PortNo() ...
class TPortSetDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TPortSetDlg(QWidget *owner = nullptr);

    ChoiceGroup *RGSetPort = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The chosen port number (1..10); 0 while no port is chosen.
    int PortNo() const;
    // Chooses COM n; a number outside 1..10 leaves no port chosen.
    void SetPortNo(int n);
};
