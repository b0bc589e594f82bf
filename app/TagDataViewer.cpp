#include "app/TagDataViewer.h"

#include "app/ConnectionDialogs.h"
#include "app/KV8AppForm.h"
#include "controls/DialogKit.h"
#include "link/Frame.h"
#include "link/ResultGrid.h"
#include "link/SendData.h"
#include "link/TTComXDlg.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "platform/SettingsFile.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace
{

const QString section = QStringLiteral("DispTagData");
const QString dispDirKey = QStringLiteral("dispdir");

constexpr uint8_t ParamTagBlockSize = 0xAC;
constexpr uint8_t CodeInventory = 0x01;
constexpr uint8_t CodeReadSingleBlock = 0x20;
constexpr uint8_t CodeGetMBlockSecSt = 0x2C;
constexpr uint8_t CodeReadBytes = 0xA0;
// ReadBytes asks for at most this many bytes at once.
constexpr int ReadBytesMax = 128;
// GetMBlockSecSt asks for at most this many blocks at once.
constexpr int SecurityBlocksMax = 128;

constexpr uint8_t MakerST = 2;
constexpr uint8_t MakerPhilips = 4;
constexpr uint8_t MakerInfineon = 5;
constexpr uint8_t MakerTI = 7;

// TI chips of these types tell their geometry in their system information.
bool tiWithSystemInfo(uint8_t chipType)
{
    return chipType == 0x00 || chipType == 0x80;
}

void showReadOnly(TIntEdit *edit)
{
    edit->setReadOnly(true);
    edit->SetEditorEnabled(false);
    edit->upButton()->setEnabled(false);
    edit->downButton()->setEnabled(false);
}

} // namespace

TDispTagDataDlg::TDispTagDataDlg(TKV8AppForm &form) : RadixDialog(&form), form_(form)
{
    DialogKit kit(this, QStringLiteral("DispTagDataDlg"), QStringLiteral("タグのデータ"));
    EdDSFID = kit.intEdit(QStringLiteral("EdDSFID"), {0, 255, -16});
    EdAFI = kit.intEdit(QStringLiteral("EdAFI"), {0, 255, -16});
    EdUID = DialogKit::named(new QLineEdit(this), QStringLiteral("EdUID"));
    // 256 blocks is a geometry a tag can report (its count byte + 1).
    EdBlockNum = kit.intEdit(QStringLiteral("EdBlockNum"), {0, 256});
    EdBlockSize = kit.intEdit(QStringLiteral("EdBlockSize"), {0, 255});
    EdManufacturer = DialogKit::named(new QLineEdit(this), QStringLiteral("EdManufacturer"));
    for (TIntEdit *edit : {EdDSFID, EdAFI, EdBlockNum, EdBlockSize}) {
        showReadOnly(edit);
        edit->SetValue(0);
    }
    EdUID->setReadOnly(true);
    EdManufacturer->setReadOnly(true);
    EdManufacturer->setText(makerName(0));

    StringGrid1 = DialogKit::named(new StringGridView(0, 3, this), QStringLiteral("StringGrid1"));
    StringGrid1->setColumnCount(3);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setMinimumSize(75 + 257 + 114 + 24, 300);
    const int widths[] = {75, 257, 114};
    for (int c = 0; c < 3; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);

    QHBoxLayout *buttons = kit.confirmRow(OKBtn, CancelBtn);
    kit.column(this, {kit.grid(nullptr,
                               {{QStringLiteral("DSFID(Hex)"), EdDSFID, QStringLiteral("AFI(Hex)"), EdAFI},
                                {QStringLiteral("UID(Hex)"), LayoutCell(EdUID).span(3)},
                                {QStringLiteral("Block Number"), EdBlockNum, QStringLiteral("Block Size"), EdBlockSize},
                                {QStringLiteral("Tag Manufacturer"), LayoutCell(EdManufacturer).span(3)}}),
                      StringGrid1, buttons});
    OKBtn->setEnabled(false);
    CancelBtn->setEnabled(false);

    LoadDispDir();
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("Block Num."),
         DispDir ? QStringLiteral("data(MSB --- LSB)") : QStringLiteral("data(LSB --- MSB)"),
         QStringLiteral("Security data")});
    setGridRowCount(StringGrid1, 1);
}

TDispTagDataDlg::~TDispTagDataDlg()
{
    delete gauge_;
}

QString TDispTagDataDlg::makerName(uint8_t code)
{
    switch (code) {
    case MakerST:
        return QStringLiteral("STMicroelectronics");
    case MakerPhilips:
        return QStringLiteral("Philips");
    case MakerInfineon:
        return QStringLiteral("Infineon Technologies");
    case MakerTI:
        return QStringLiteral("Texas Instruments");
    case 8:
        return QStringLiteral("Fujitsu");
    default:
        return QStringLiteral("Unknown");
    }
}

void TDispTagDataDlg::LoadDispDir()
{
    DispDir = IniFile(form_.IniFileName).ReadInteger(section, dispDirKey, 1) & 0xFF;
}

void TDispTagDataDlg::SaveDispDir()
{
    // The program settings file: a read-only one is left alone without a word.
    if (!prepareSettingsFileForWrite(form_.IniFileName))
        return;
    IniFile ini(form_.IniFileName);
    ini.WriteInteger(section, dispDirKey, DispDir);
    ini.UpdateFile();
}

void TDispTagDataDlg::done(int result)
{
    if (reading_)
        return;
    SaveDispDir();
    RadixDialog::done(result);
}

void TDispTagDataDlg::showEvent(QShowEvent *event)
{
    RadixDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    // Inside exec()'s loop, once the dialog is up.
    QTimer::singleShot(0, this, &TDispTagDataDlg::FormShow);
}

TTComXDlg *TDispTagDataDlg::hub() const
{
    return applicationClosing() ? nullptr : TComXDlg;
}

void TDispTagDataDlg::FormShow()
{
    auto *gauge = new TGuage1Dlg(this);
    gauge_ = gauge;
    gauge->Button1->hide();
    gauge->ProgressBar1->setRange(0, 100);
    gauge->ProgressBar1->setValue(0);
    gauge->show();
    processPendingMessages(0);
    gauge->setWindowTitle(QStringLiteral("Read Tag Data ..."));

    // Nothing may leave a Qt event handler, and the viewer must become closable whatever happens.
    try {
        if (!ReadTagIdentity()) {
            if (!applicationClosing())
                showMessage(QStringLiteral("タグのデータが読み込めません!!"), this);
        } else if (readGeometry()) {
            readMemory();
        }
    } catch (const std::exception &e) {
        showMessage(QString::fromLocal8Bit(e.what()), this);
    }
    // The progress box ignores its close event: it goes with a delete.
    delete gauge_;
    reading_ = false;
    OKBtn->setEnabled(true);
    CancelBtn->setEnabled(true);
}

bool TDispTagDataDlg::ReadTagIdentity()
{
    EdManufacturer->setText(makerName(0));
    TagMaker = 0;
    bool acked = false;
    if (TTComXDlg *h = hub()) {
        h->ISO15693_Inventory(0x40);
        // Only an answer that carried the DSFID and the UID names the tag.
        if (h->WaitReply() && checkAnswer(h->lastReplyFrame(), "\x01", 9) == AnswerCheck::Ok) {
            const QByteArray answer = answerBytes(h->lastReplyFrame(), 1, 9);
            ViewDSFID = static_cast<uint8_t>(answer[0]);
            std::copy_n(answer.constData() + 1, 8, ViewUid);
            acked = true;
        }
    }
    if (acked) {
        TagMaker = ViewUid[6];
        TagChipType = ViewUid[5];
        if (TagMaker == MakerTI)
            TagChipType &= 0xFE;
        EdManufacturer->setText(makerName(TagMaker));
    } else {
        std::fill(std::begin(ViewUid), std::end(ViewUid), 0);
        ViewDSFID = 0;
    }
    QString uid;
    for (int i = 7; i >= 0; --i)
        uid += byteHex(ViewUid[i]) + QLatin1Char(' ');
    EdUID->setText(uid);
    EdDSFID->SetValue(ViewDSFID);
    return acked;
}

bool TDispTagDataDlg::ReadTagSystemInfo()
{
    ViewAFI = 0;
    ViewBlockCount = 0;
    ViewBlockSize = 0;
    bool acked = false;
    if (TTComXDlg *h = hub()) {
        h->ISO15693_GetSystemInfo(0x00);
        // The window's fields hold this tag's answer only when it came complete; the geometry
        // needs its memory-size field.
        if (h->WaitReply() && h->SystemInfoComplete) {
            if (form_.TagInfoFlags & 0x02)
                ViewAFI = form_.TagAFI;
            if (form_.TagInfoFlags & 0x04) {
                ViewBlockCount = form_.TagMemSize[0] + 1;
                ViewBlockSize = (form_.TagMemSize[1] & 31) + 1;
                acked = true;
            }
        }
    }
    EdAFI->SetValue(ViewAFI);
    EdBlockNum->SetValue(ViewBlockCount);
    EdBlockSize->SetValue(ViewBlockSize);
    return acked;
}

bool TDispTagDataDlg::readGeometry()
{
    const auto fixed = [this](int count, int size) {
        ViewBlockCount = count;
        ViewBlockSize = size;
        EdBlockNum->SetValue(count);
        EdBlockSize->SetValue(size);
        return true;
    };
    switch (TagMaker) {
    case MakerInfineon:
        return (TagChipType & 0x0F) == 0 ? fixed(128, 8) : fixed(15, 4);
    case MakerST:
        return fixed(16, 4);
    case MakerTI:
        return tiWithSystemInfo(TagChipType) ? ReadTagSystemInfo() : fixed(12, 4);
    default:
        return ReadTagSystemInfo();
    }
}

void TDispTagDataDlg::readMemory()
{
    if (TagMaker == MakerInfineon) {
        // These tags are read as they are: the reader's block size is left alone.
        if ((TagChipType & 0x0F) == 0)
            readByBytes();
        else
            readFifteenBlocks();
        return;
    }
    // The reader's block size is set to the tag's for the read-out, and given back after it
    // when it could be read before.
    uint8_t saved = 0;
    TTComXDlg *h = hub();
    const bool haveSaved = h && h->RXParamData(ParamTagBlockSize, &saved);
    if (haveSaved && (h = hub())) {
        h->TxSetParamData(ParamTagBlockSize, static_cast<uint8_t>(ViewBlockSize));
        h->WaitReply();
    }
    if (TagMaker == MakerPhilips || (TagMaker == MakerTI && tiWithSystemInfo(TagChipType)))
        readByBytes();
    else if (TagMaker == MakerTI)
        readTiPerBlock();
    else
        readPerBlock();
    if (haveSaved && (h = hub())) {
        h->TxSetParamData(ParamTagBlockSize, saved);
        h->WaitReply();
    }
}

bool TDispTagDataDlg::readBlocksInTurn(uint8_t flags, bool withStatus)
{
    for (int i = 0; i < ViewBlockCount; ++i) {
        TTComXDlg *h = hub();
        if (!h)
            return false;
        h->ISO15693_ReadSingleBlock(static_cast<uint8_t>(i), flags);
        progress(i);
        if (!readBlockRow(i, i + 1, withStatus))
            return false;
    }
    return true;
}

void TDispTagDataDlg::readPerBlock()
{
    setGridRowCount(StringGrid1, ViewBlockCount + 1);
    readBlocksInTurn(0x10, true);
}

void TDispTagDataDlg::readTiPerBlock()
{
    setGridRowCount(StringGrid1, ViewBlockCount + 1);
    int i = 0;
    for (; i < ViewBlockCount - 1; ++i) {
        TTComXDlg *h = hub();
        if (!h)
            return;
        h->ISO15693_ReadSingleBlock(static_cast<uint8_t>(i), 0x10);
        if (!readBlockRow(i, i + 1, true))
            break;
    }
    // Once more the block the loop ended at: the last one, or the one that failed.
    if (TTComXDlg *h = hub()) {
        h->ISO15693_ReadSingleBlock(static_cast<uint8_t>(i), 0x10);
        readBlockRow(i, i + 1, true);
    }
}

void TDispTagDataDlg::readByBytes()
{
    const int perRequest = ReadBytesMax / ViewBlockSize;
    const int full = ViewBlockCount / perRequest;
    const int rest = ViewBlockCount % perRequest;
    setGridRowCount(StringGrid1, ViewBlockCount + 1);
    for (int k = 0; k < full; ++k)
        if (!readBytesRows(k * perRequest, perRequest))
            return;
    if (rest > 0 && !readBytesRows(full * perRequest, rest))
        return;
    readSecurity();
}

void TDispTagDataDlg::readSecurity()
{
    const int full = ViewBlockCount / SecurityBlocksMax;
    const int rest = ViewBlockCount % SecurityBlocksMax;
    setGridRowCount(StringGrid1, ViewBlockCount + 1);
    for (int k = 0; k < full; ++k)
        if (!readSecurityRows(k * SecurityBlocksMax, SecurityBlocksMax))
            return;
    if (rest > 0)
        readSecurityRows(full * SecurityBlocksMax, rest);
}

void TDispTagDataDlg::readFifteenBlocks()
{
    // Block 17 stands in row count + 3; the rows between stay empty.
    setGridRowCount(StringGrid1, ViewBlockCount + 4);
    if (!readBlocksInTurn(0x00, false))
        return;
    if (TTComXDlg *h = hub()) {
        h->ISO15693_ReadSingleBlock(17, 0x00);
        readBlockRow(17, ViewBlockCount + 3, false);
    }
}

std::optional<QByteArrayView> TDispTagDataDlg::ackFor(uint8_t code)
{
    TTComXDlg *h = TComXDlg;
    if (!h || !h->WaitReply() || applicationClosing())
        return std::nullopt;
    const QByteArrayView frame = h->lastReplyFrame();
    const char echo[] = {static_cast<char>(code)};
    if (checkAnswer(frame, QByteArrayView(echo, 1), 0) != AnswerCheck::Ok)
        return std::nullopt;
    // DATA after the echo, as far as the frame's LEN reaches.
    return frame.sliced(FrameDataIndex + 1, static_cast<uint8_t>(frame[FrameLenIndex]) - 1);
}

bool TDispTagDataDlg::readBlockRow(int block, int row, bool withStatus)
{
    const std::optional<QByteArrayView> answer = ackFor(CodeReadSingleBlock);
    if (!answer)
        return false;
    std::optional<uint8_t> status;
    QByteArrayView rest = *answer;
    if (withStatus && !rest.isEmpty()) {
        status = static_cast<uint8_t>(rest[0]);
        rest = rest.sliced(1);
    }
    writeRow(row, block, rest.first(std::min<qsizetype>(rest.size(), ViewBlockSize)), status);
    return true;
}

bool TDispTagDataDlg::readBytesRows(int first, int blocks)
{
    TTComXDlg *h = hub();
    if (!h)
        return false;
    // One byte on the wire: 128 goes out as 0x80.
    h->ISO15693_ReadBytes(static_cast<uint8_t>(first), static_cast<uint8_t>(blocks * ViewBlockSize), 0x00);
    const std::optional<QByteArrayView> answer = ackFor(CodeReadBytes);
    if (!answer)
        return false;
    for (int j = 0; j < blocks; ++j) {
        const qsizetype from = std::min<qsizetype>(qsizetype{j} * ViewBlockSize, answer->size());
        const qsizetype count = std::min<qsizetype>(ViewBlockSize, answer->size() - from);
        writeRow(first + j + 1, first + j, answer->sliced(from, count), std::nullopt);
    }
    return true;
}

bool TDispTagDataDlg::readSecurityRows(int first, int blocks)
{
    TTComXDlg *h = hub();
    if (!h)
        return false;
    h->ISO15693_GetMBlockSecSt(static_cast<uint8_t>(first), static_cast<uint8_t>(blocks - 1), 0x00);
    const std::optional<QByteArrayView> answer = ackFor(CodeGetMBlockSecSt);
    if (!answer)
        return false;
    const qsizetype carried = std::min<qsizetype>(blocks, answer->size());
    for (qsizetype j = 0; j < carried; ++j) {
        const int block = first + static_cast<int>(j);
        setGridCellText(StringGrid1, 0, block + 1, QString::number(block));
        setGridCellText(StringGrid1, 2, block + 1, byteHex(static_cast<uint8_t>((*answer)[j])));
    }
    return true;
}

void TDispTagDataDlg::writeRow(int row, int block, QByteArrayView data, std::optional<uint8_t> status)
{
    QString text;
    for (qsizetype i = 0; i < data.size(); ++i)
        text += byteHex(static_cast<uint8_t>(data[DispDir ? data.size() - 1 - i : i])) + QLatin1Char(' ');
    setGridCellText(StringGrid1, 0, row, QString::number(block));
    setGridCellText(StringGrid1, 1, row, text);
    if (status)
        setGridCellText(StringGrid1, 2, row, byteHex(*status));
}

void TDispTagDataDlg::progress(int block)
{
    if (!gauge_)
        return;
    gauge_->ProgressBar1->setValue((block * 100 + 100) / ViewBlockCount);
    gauge_->Label1->setText(QStringLiteral("%1 / %2 リード中").arg(block + 1).arg(ViewBlockCount));
}

// --- the menu item ---

void TKV8AppForm::MnTagData1Click(QObject *)
{
    TDispTagDataDlg viewer(*this);
    viewer.exec();
}
