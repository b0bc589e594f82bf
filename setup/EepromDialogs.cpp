#include "setup/EepromDialogs.h"

#include "controls/DialogKit.h"
#include "platform/AppPaths.h"
#include "platform/ClassColor.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/PendingMessages.h"
#include "setup/EepromFieldControls.h"
#include "setup/ReaderSettingsFile.h"

#include <QLineEdit>
#include <QScopeGuard>
#include <QTabWidget>

#include <exception>
#include <utility>

namespace
{

const QList<const char *> singlePages = {"各コードの設定",     "メモリスイッチ１",   "メモリスイッチ２",
                                         "メモリースイッチ３", "Ｉ／Ｏポートの設定", "メモリースイッチ５",
                                         "メモリースイッチ６"};
const QList<const char *> wholePages = {"各コードの設定",
                                        "S6700制御モード",
                                        "動作モード",
                                        "メモリスイッチ１",
                                        "メモリスイッチ２",
                                        "メモリースイッチ３",
                                        "Ｉ／Ｏポートの設定",
                                        "メモリースイッチ５",
                                        "メモリースイッチ６",
                                        "ScanModeの設定",
                                        "切替基板カスケード接続",
                                        "MemSw7",
                                        "MemSw8",
                                        "RFLOOPモード",
                                        "その他EEPROM2"};
constexpr int firstArea2Page = 10;
constexpr int memSw7Page = 11;

FileDialogRequest settingsFileRequest(FileDialogRequest::Kind kind)
{
    FileDialogRequest request;
    request.kind = kind;
    request.initialFolder = programDirectory();
    request.filters = settingsFileFilters();
    return request;
}

} // namespace

// ----- TSetRom1Dlg -----

TSetRom1Dlg::TSetRom1Dlg(QWidget *owner, bool ver121) : RadixDialog(owner)
{
    DialogKit kit(this, QStringLiteral("SetRom1Dlg"), QStringLiteral("ダイアログ"));
    fields_ = std::make_unique<EepromFieldControls>(kit, EditorSetRom, ver121);
    qobject_cast<QGroupBox *>(fields_->control(QStringLiteral("RGMemSW56")))->setTitle(QStringLiteral("ビット６"));
    PageControl1 = fields_->pages(kit, QStringLiteral("PageControl1"), singlePages);
    BtDefault = kit.button(QStringLiteral("BtDefault"), QStringLiteral("デフォルト(&I)"));
    kit.confirmButtons(OKBtn, CancelBtn, QStringLiteral("書き込み(&O)"));
    kit.column(this, {PageControl1, kit.row(nullptr, {BtDefault, LayoutCell::stretch(), OKBtn, CancelBtn})});
}

TSetRom1Dlg::~TSetRom1Dlg() = default;

void TSetRom1Dlg::ShowFields(const FieldValues &values)
{
    fields_->show(values);
}

FieldValues TSetRom1Dlg::Fields() const
{
    return fields_->values(1);
}

// ----- TAllSetRom1Dlg -----

TAllSetRom1Dlg::TAllSetRom1Dlg(QWidget *owner, const EepromEditorContext &context)
    : RadixDialog(owner), Window(context.window), context_(context)
{
    DialogKit kit(this, QStringLiteral("AllSetRom1Dlg"), QStringLiteral("R/WのEEPROMの設定"));
    fields_ = std::make_unique<EepromFieldControls>(kit, EditorAllSetRom, context.flags.ver121);
    PageControl1 = fields_->pages(kit, QStringLiteral("PageControl1"), wholePages);
    // Word 5 and word 9 of area 2 sit on the last page as the form has them, neither filled
    // nor read (word 9 is the buzzer frequency, edited in EdBuzFreq).
    TIntEdit *mem5 = kit.intEdit(QStringLiteral("EdMem5"), {0, 65535, 16});
    TIntEdit *mem9 = kit.intEdit(QStringLiteral("EdMem9"), {0, 65535, 16});
    mem5->setVisible(false);
    mem9->setEnabled(false);
    auto *lastPage = PageControl1->widget(PageControl1->count() - 1);
    static_cast<QBoxLayout *>(lastPage->layout())->insertLayout(1, kit.row(nullptr, {mem5, "アドレス９", mem9}));
    // Beside the buzzer frequency register, the frequency it gives.
    auto *memSw7Fields = static_cast<QGridLayout *>(PageControl1->widget(memSw7Page)->layout()->itemAt(0)->layout());
    memSw7Fields->addWidget(
        kit.label(QStringLiteral("1000000／100*8*2*設定値　KHZ"), nullptr, QStringLiteral("LabelBuzFreq")), 0, 2);
    if (context.flags.p310)
        for (int page = firstArea2Page; page < PageControl1->count(); ++page)
            PageControl1->setTabVisible(page, false);

    EdFName = DialogKit::named(new QLineEdit(this), QStringLiteral("EdFName"));
    BtDefault = kit.button(QStringLiteral("BtDefault"), QStringLiteral("デフォルト(&I)"));
    BtLoad = kit.button(QStringLiteral("BtLoad"), QStringLiteral("Load"));
    BtSave = kit.button(QStringLiteral("BtSave"), QStringLiteral("Save"));
    BtCheck1 = kit.button(QStringLiteral("BtCheck1"), QStringLiteral("&Check"));
    kit.confirmButtons(OKBtn, CancelBtn, QStringLiteral("書き込み(&O)"));
    CancelBtn->setText(QStringLiteral("キャンセル(&C)"));
    kit.column(this,
               {kit.row(nullptr, {"設定ファイル", EdFName}), PageControl1,
                kit.row(nullptr, {BtDefault, BtLoad, BtSave, BtCheck1, LayoutCell::stretch(), OKBtn, CancelBtn})});

    for (auto [button, click] : {std::pair{BtDefault, &TAllSetRom1Dlg::BtDefaultClick},
                                 {BtLoad, &TAllSetRom1Dlg::BtLoadClick},
                                 {BtSave, &TAllSetRom1Dlg::BtSaveClick},
                                 {BtCheck1, &TAllSetRom1Dlg::BtCheck1Click}})
        connect(button, &QPushButton::clicked, this, [this, click] {
            // Nothing may leave a Qt event handler: an exception ends here in one message box.
            try {
                (this->*click)();
            } catch (const std::exception &e) {
                showMessage(QString::fromLocal8Bit(e.what()), this);
            }
        });
}

TAllSetRom1Dlg::~TAllSetRom1Dlg() = default;

void TAllSetRom1Dlg::EepromImageToDialog1(const EepromData &image)
{
    fields_->show(EepromImageToFields1(image, Window));
}

void TAllSetRom1Dlg::EepromImageToDialog2(const EepromData2 &image)
{
    fields_->show(EepromImageToFields2(image, Window));
}

EepromData TAllSetRom1Dlg::DialogToEepromImage1(const EepromData &base)
{
    return FieldsToEepromImage1(fields_->values(1), base, Window);
}

EepromData2 TAllSetRom1Dlg::DialogToEepromImage2()
{
    return FieldsToEepromImage2(fields_->values(2), Window);
}

int TAllSetRom1Dlg::CompareEepromImage1(const EepromData &a, const EepromData &b)
{
    EepromImageToDialog1(a);
    const QStringList differing = differingFields(1, EditorAllSetRom, a, b);
    fields_->colour(1, differing, classLibraryColor(context_.OkColor), classLibraryColor(context_.NgColor));
    return differing.isEmpty() ? 1 : 0;
}

int TAllSetRom1Dlg::CompareEepromImage2(const EepromData2 &a, const EepromData2 &b)
{
    if (context_.flags.p310)
        return 1;
    EepromImageToDialog2(a);
    const QStringList differing = differingFields(2, EditorAllSetRom, a, b);
    fields_->colour(2, differing, classLibraryColor(context_.OkColor), classLibraryColor(context_.NgColor));
    return differing.isEmpty() ? 1 : 0;
}

void TAllSetRom1Dlg::BtDefaultClick()
{
    EepromImageToDialog1(factoryDefaults1());
    if (context_.flags.ver121)
        EepromImageToDialog2(factoryDefaults2());
}

void TAllSetRom1Dlg::BtLoadClick()
{
    const FileDialogAnswer answer = askFile(this, settingsFileRequest(FileDialogRequest::Open));
    if (answer.path.isEmpty())
        return;
    const QString name = settingsFileName(answer.path, answer.filterIndex);
    EepromData area1 = FileEepromData;
    EepromData2 area2 = FileEepromData2;
    if (!ReadSettingsFile(name, context_.flags.ver121, area1, area2)) {
        showMessage(QStringLiteral("ファイル ") + name + QStringLiteral(" を開けません。"), this);
        return;
    }
    FileEepromData = area1;
    FileEepromData2 = area2;
    EepromImageToDialog1(FileEepromData);
    LoadedFileName = name;
    EdFName->setText(name);
    if (context_.flags.ver121)
        EepromImageToDialog2(FileEepromData2);
}

void TAllSetRom1Dlg::BtSaveClick()
{
    // Packed before the file dialog, so the window's share follows even when it is cancelled.
    const EepromData area1 = DialogToEepromImage1(OpenedEepromData);
    const EepromData2 area2 = context_.flags.ver121 ? DialogToEepromImage2() : EepromData2{};
    const FileDialogAnswer answer = askFile(this, settingsFileRequest(FileDialogRequest::Save));
    if (answer.path.isEmpty())
        return;
    const QString name = settingsFileName(answer.path, answer.filterIndex);
    if (!WriteSettingsFile(name, context_.flags.ver121, area1, area2))
        showMessage(QStringLiteral("ファイル ") + name + QStringLiteral(" を作成できません。"), this);
}

void TAllSetRom1Dlg::BtCheck1Click()
{
    if (EdFName->text().isEmpty()) {
        showMessage(QStringLiteral("設定ファイル情報が読み込まれていません！！"), this);
        return;
    }
    if (!context_.hub)
        return;
    EepromData reader1;
    EepromData2 reader2;
    int read = 0;
    {
        // No second comparison can start while this one waits for the reader.
        setEnabled(false);
        const auto enable = qScopeGuard([this] { setEnabled(true); });
        read = ReadEepromAreas(*context_.hub, context_.log, context_.flags, reader1, reader2);
    }
    if (applicationClosing())
        return;
    int equal = 0;
    if (read) {
        equal = CompareEepromImage1(reader1, FileEepromData);
        if (context_.flags.ver121 && !CompareEepromImage2(reader2, FileEepromData2))
            equal = 0;
    }
    showMessage(equal ? QStringLiteral("OK: 設定値は一致しました") : QStringLiteral("NG: 設定値は一致しませんでした"),
                this);
}
