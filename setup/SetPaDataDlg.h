#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class ChoiceGroup;
class QComboBox;
class QPushButton;
class QTabWidget;

// The memory switches kept in the reader parameters 0xA4, 0xA5 and 0xAB, one page each: a
// radio group per bit (item 1 = bit set), and the output mode in bits 0-1 of 0xA4.
class TSetPaDataDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr std::array<uint8_t, 3> Params = {0xA4, 0xA5, 0xAB};

    explicit TSetPaDataDlg(QWidget *owner = nullptr);

    // Fills the controls from the three parameter values, in the order of Params.
    void showParams(const std::array<uint8_t, 3> &values);
    // The values the controls hold (a group without a selection packs as a set bit).
    std::array<uint8_t, 3> params() const;

    QTabWidget *PageControl1;
    QComboBox *CBMode2;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

private:
    ChoiceGroup *group(int param, int bit) const;
};
