#include "setup/GateDialogs.h"

#include "controls/DialogKit.h"
#include "link/TTComXDlg.h"
#include "platform/Beep.h"

#include <QLineEdit>
#include <QRegularExpression>

#include <array>

namespace
{

// One page per word (or byte) of the image, captioned in order.
QList<GatePage> pagesOf(std::span<const GateField> fields, const QStringList &captions)
{
    QList<GatePage> pages;
    const QList<std::span<const GateField>> runs = fieldPages(fields);
    for (int i = 0; i < runs.size(); ++i)
        pages << GatePage{captions.value(i), runs[i]};
    return pages;
}

const QString setCaption = QStringLiteral("設定(&S)");
const QString cancelAccel = QStringLiteral("キャンセル(&C)");
const QString cancelText = QStringLiteral("キャンセル");

} // namespace

TGDousaModeDlg::TGDousaModeDlg(QWidget *owner)
    : GateFieldDialog(owner, QStringLiteral("GDousaModeDlg"), QStringLiteral("ゲートの動作モード"),
                      {{QString(), gateModeFields()}}, setCaption, cancelAccel)
{
}

TGEEPROMDlg::TGEEPROMDlg(QWidget *owner)
    : GateFieldDialog(
          owner, QStringLiteral("GEEPROMDlg"), QStringLiteral("ゲート用メモリースイッチの設定"),
          pagesOf(gateEepromFields(), {QStringLiteral("メモリースイッチ１"), QStringLiteral("メモリースイッチ２"),
                                       QStringLiteral("メモリースイッチ３"), QStringLiteral("メモリースイッチ４"),
                                       QStringLiteral("メモリースイッチ5"), QStringLiteral("メモリースイッチ6"),
                                       QStringLiteral("メモリースイッチ7")}),
          setCaption, cancelAccel)
{
}

TGDispOutStateDlg::TGDispOutStateDlg(QWidget *owner)
    : GateFieldDialog(
          owner, QStringLiteral("GDispOutStateDlg"), QStringLiteral("表示＆出力状態"),
          pagesOf(gateDispOutFields(), {QStringLiteral("ブザー／ＬＥＤ制御"),
                                        QStringLiteral("パネルＬＥＤ／リレー制御"), QStringLiteral("汎用I/O")}),
          QStringLiteral("OK"), cancelText)
{
}

TSensorStateDlg::TSensorStateDlg(QWidget *owner)
    : GateFieldDialog(owner, QStringLiteral("SensorStateDlg"), QStringLiteral("センサー状態表示"),
                      pagesOf(gateSensorFields(), {QStringLiteral("解除SW"), QStringLiteral("DIPSW"),
                                                   QStringLiteral("入出センサー"), QStringLiteral("人検知センサー")}),
                      QStringLiteral("OK"), cancelText)
{
}

TMCountSetDlg::TMCountSetDlg(QWidget *owner)
    : GateFieldDialog(
          owner, QStringLiteral("MCountSetDlg"), QStringLiteral("人数カウント動作モードの設定"),
          pagesOf(countModeFields(), {QStringLiteral("メモリースイッチ１"), QStringLiteral("メモリースイッチ２"),
                                      QStringLiteral("メモリースイッチ3")}),
          QStringLiteral("ＯＫ"), cancelText)
{
}

TMCountValue::TMCountValue(QWidget *owner)
    : GateFieldDialog(
          owner, QStringLiteral("MCountValue"), QStringLiteral("人数カウントデータ"),
          {{QStringLiteral("M740"), countValueFields740()}, {QStringLiteral("M750"), countValueFields750()}},
          QStringLiteral("設定"), QStringLiteral("Close"))
{
}

TGBuzLedDlg::TGBuzLedDlg(QWidget *owner)
    : GateFieldDialog(owner, QStringLiteral("GBuzLedDlg"), QStringLiteral("メロディ＆LEDランプ制御"),
                      {{QString(), buzLedFields()}}, QStringLiteral("OK"), cancelText)
{
}

// --- the raw EEPROM dialogs ---

GateEepromRawDlg::GateEepromRawDlg(QWidget *owner, TTComXDlg &hub, const QString &caption, const QString &countTitle,
                                   const QString &dataTitle, const QString &actionName, const QString &actionText)
    : RadixDialog(owner), hub_(hub)
{
    const DialogKit kit(this,
                        QStringLiteral("EEPROM_") + (caption.endsWith(QLatin1String("READ"))
                                                         ? QStringLiteral("ReadDlg")
                                                         : QStringLiteral("WriteDlg")),
                        caption);
    action_ = kit.button(actionName, actionText);
    IntEd1 = kit.intEdit(QStringLiteral("IntEd1"), {0, 14, -10});
    IntEd2 = kit.intEdit(QStringLiteral("IntEd2"), {0, 14, -10});
    IntEd1->SetValue(0);
    IntEd2->SetValue(0);
    EdString = DialogKit::named(new QLineEdit(this), "EdString");
    auto *grid = new QGridLayout;
    grid->addWidget(kit.label(QStringLiteral("StartBlockNo"), IntEd1), 0, 0);
    grid->addWidget(IntEd1, 1, 0);
    grid->addWidget(kit.label(countTitle, IntEd2), 0, 1);
    grid->addWidget(IntEd2, 1, 1);
    grid->addWidget(kit.label(dataTitle, EdString), 2, 0, 1, 2);
    grid->addWidget(EdString, 3, 0, 1, 2);
    grid->addWidget(action_, 3, 2);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(kit.confirmRow(OKBtn, CancelBtn));
}

TEEPROM_ReadDlg::TEEPROM_ReadDlg(QWidget *owner, TTComXDlg &hub)
    : GateEepromRawDlg(owner, hub, QStringLiteral("EEPROM_READ"), QStringLiteral("読込ワード数"),
                       QStringLiteral("データ"), QStringLiteral("Bt_EEPROM_Read"), QStringLiteral("読込み")),
      Bt_EEPROM_Read(action_)
{
    connect(Bt_EEPROM_Read, &QPushButton::clicked, this, &TEEPROM_ReadDlg::Bt_EEPROM_ReadClick);
}

void TEEPROM_ReadDlg::Bt_EEPROM_ReadClick()
{
    // The click moves no focus: a field still being typed in is left first, as OK would.
    if (!leaveFocusedField())
        return;
    const auto address = static_cast<uint8_t>(IntEd1->GetValue());
    const auto n = static_cast<uint8_t>(IntEd2->GetValue());
    std::array<uint8_t, 2 * 255> words{};
    if (!hub_.GateGetEEPROMCmd(address, n, words))
        return;
    QString text;
    for (int i = 0; i < 2 * n; ++i)
        text += QStringLiteral("%1 ").arg(words[i], 2, 16, QLatin1Char('0')).toUpper();
    EdString->setText(text);
}

TEEPROM_WriteDlg::TEEPROM_WriteDlg(QWidget *owner, TTComXDlg &hub)
    : GateEepromRawDlg(owner, hub, QStringLiteral("EEPROM_WRITE"), QStringLiteral("書込ワード数"),
                       QStringLiteral("Hexデータ (MAX ： FFFF)"), QStringLiteral("Bt_EEPROM_Write"),
                       QStringLiteral("書込み")),
      Bt_EEPROM_Write(action_)
{
    connect(Bt_EEPROM_Write, &QPushButton::clicked, this, &TEEPROM_WriteDlg::Bt_EEPROM_WriteClick);
}

void TEEPROM_WriteDlg::Bt_EEPROM_WriteClick()
{
    if (!leaveFocusedField())
        return;
    // Anything but one 16-bit hex value would write zeros (or a cut value) over N words.
    const std::optional<uint16_t> word = rawEepromWord(EdString->text());
    if (!word) {
        beep();
        return;
    }
    const auto address = static_cast<uint8_t>(IntEd1->GetValue());
    const auto n = static_cast<uint8_t>(IntEd2->GetValue());
    std::array<uint8_t, 2 * 255> words{};
    for (int i = 0; i < n; ++i) {
        words[2 * i] = static_cast<uint8_t>(*word);
        words[2 * i + 1] = static_cast<uint8_t>(*word >> 8);
    }
    hub_.GateSetEEPROMCmd(address, n, ByteSpan(words.data(), 2 * size_t{n}));
}

std::optional<uint16_t> rawEepromWord(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^\\s*([0-9A-Fa-f]{1,4})\\s*$"));
    const QRegularExpressionMatch m = hex.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return static_cast<uint16_t>(m.captured(1).toUInt(nullptr, 16));
}
