#include "setup/SetEeprom2Dlg.h"

#include "controls/DialogKit.h"
#include "setup/EepromFieldControls.h"

#include <QTabWidget>

TSetEEPROM2Dlg::TSetEEPROM2Dlg(QWidget *owner) : RadixDialog(owner)
{
    const DialogKit kit(this, QStringLiteral("SetEEPROM2Dlg"), QStringLiteral("Ｒ／ＷのEEPROM2の設定"));
    fields_ = std::make_unique<EepromFieldControls>(kit, EditorSetEeprom2, false);
    auto edit = [this](const char *name) { return intEdit(QLatin1String(name)); };
    auto choice = [this](const char *name) { return group(QLatin1String(name)); };
    // The field's caption as its buddy label.
    auto field = [&kit, this](const char *name) {
        const EepromField *f = eepromField(QLatin1String(name));
        return kit.label(QString::fromUtf8(f->caption), intEdit(QLatin1String(name)));
    };
    EdChgWaitTime = edit("EdChgWaitTime");
    EdRdStAddr = edit("EdRdStAddr");
    EdDataLen = edit("EdDataLen");
    EdMem5 = kit.intEdit(QStringLiteral("EdMem5"), {0, 65535, 16});
    Label13 = kit.label(QStringLiteral("切り替え後のウエイト時間"), EdChgWaitTime, QStringLiteral("Label13"));
    Label14 = kit.label(QStringLiteral("ms"), nullptr, QStringLiteral("Label14"));

    PageControl1 = DialogKit::named(new QTabWidget(this), QStringLiteral("PageControl1"));
    QWidget **sheets[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &TabSheet5, &TabSheet6};
    const char *captions[] = {"切り替え基板カスケード接続", "RFLOOPモード", "MemSw7", "MemSw8", "その他", "検査モード"};
    for (int i = 0; i < 6; ++i) {
        *sheets[i] = DialogKit::named(new QWidget, QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(*sheets[i], QString::fromUtf8(captions[i]));
    }

    QGridLayout *antennas = kit.grid(nullptr, {});
    for (int n = 1; n <= 8; ++n) {
        const QByteArray name = "EdANT" + QByteArray::number(n) + "_SELNUM";
        antennas->addWidget(field(name.constData()), (n - 1) % 4, (n - 1) / 4 * 2);
        antennas->addWidget(edit(name.constData()), (n - 1) % 4, (n - 1) / 4 * 2 + 1);
    }
    kit.column(TabSheet1, {antennas, kit.row(nullptr, {Label13, EdChgWaitTime, Label14, LayoutCell::stretch()}),
                           LayoutCell::stretch()});
    kit.column(TabSheet2, {kit.grid(nullptr, {{field("EdRdStAddr"), EdRdStAddr}, {field("EdDataLen"), EdDataLen}}),
                           LayoutCell::stretch()});

    for (int sw = 7; sw <= 8; ++sw) {
        QGridLayout *groups = kit.grid(nullptr, {});
        for (int bit = 0; bit < 8; ++bit)
            groups->addWidget(choice(QStringLiteral("RGMemSW%1%2").arg(sw).arg(bit).toLatin1().constData()), bit / 4,
                              bit % 4);
        if (sw == 7)
            kit.column(TabSheet3,
                       {groups, kit.row(nullptr, {field("EdBuzFreq"), edit("EdBuzFreq"), LayoutCell::stretch()}),
                        LayoutCell::stretch()});
        else
            kit.column(TabSheet4, {groups, LayoutCell::stretch()});
    }
    kit.column(TabSheet5, {kit.grid(nullptr, {{"アドレス５", EdMem5},
                                              {field("EdMem6"), edit("EdMem6")},
                                              {field("EdMem7"), edit("EdMem7")},
                                              {field("EdMem8"), edit("EdMem8")}}),
                           LayoutCell::stretch()});
    kit.column(TabSheet6,
               {kit.row(nullptr, {choice("RGCheckMode"), choice("RGWriteData")}),
                kit.row(nullptr, {choice("RBKensa1_bit3"), choice("RBKensa1_bit4"), choice("RBKensa1_bit5"),
                                  choice("RBKensa1_bit6"), choice("RBKensa1_bit7")}),
                kit.row(nullptr, {field("IntEdit1"), edit("IntEdit1"), LayoutCell::stretch()}), LayoutCell::stretch()});
    kit.column(this, {PageControl1, kit.confirmRow(OKBtn, CancelBtn)});
}

TSetEEPROM2Dlg::~TSetEEPROM2Dlg() = default;

TIntEdit *TSetEEPROM2Dlg::intEdit(const QString &name) const
{
    return qobject_cast<TIntEdit *>(fields_->control(name));
}

ChoiceGroup *TSetEEPROM2Dlg::group(const QString &name) const
{
    return qobject_cast<ChoiceGroup *>(fields_->control(name));
}

void TSetEEPROM2Dlg::hidePage(QWidget *page)
{
    PageControl1->setTabVisible(PageControl1->indexOf(page), false);
}

void TSetEEPROM2Dlg::showImage(const EepromData2 &image)
{
    fields_->show(unpackFields(2, EditorSetEeprom2, image, false));
}

void TSetEEPROM2Dlg::readImage(EepromData2 &image) const
{
    packFields(2, EditorSetEeprom2, fields_->values(2), image);
}
