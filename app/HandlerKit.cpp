#include "app/HandlerKit.h"

#include "app/ElapsedTime.h"
#include "app/FixedBytes.h"
#include "app/InputDialogs.h"
#include "controls/IntEdit.h"
#include "link/SendData.h"
#include "platform/PendingMessages.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

int32_t IntRef::get() const
{
    return std::visit([](auto *field) { return static_cast<int32_t>(*field); }, field_);
}

void IntRef::set(int32_t value) const
{
    std::visit([value](auto *field) { *field = static_cast<std::remove_pointer_t<decltype(field)>>(value); }, field_);
}

void setField(TIntEdit *edit, int radix, int32_t value, int32_t min, int32_t max)
{
    edit->SetMinValue(min);
    edit->SetMaxValue(max);
    if (radix != 0)
        edit->SetRadix(radix);
    edit->SetValue(value);
}

void hidePair(QLabel *title, QWidget *edit)
{
    title->setText(QString());
    edit->setVisible(false);
}

namespace
{

void showPair(QLabel *title, TIntEdit *edit, const std::optional<IntPair> &pair)
{
    if (!pair) {
        hidePair(title, edit);
        return;
    }
    title->setText(pair->prompt);
    setField(edit, pair->radix, pair->field.get(), pair->min, pair->max);
}

void readPair(const TIntEdit *edit, const std::optional<IntPair> &pair)
{
    if (pair)
        pair->field.set(edit->GetValue());
}

} // namespace

bool askInt(TKV8AppForm &form, const QString &caption, const IntPair &pair)
{
    auto dlg = std::make_unique<TInputIntDlg>(&form);
    dlg->setWindowTitle(caption);
    showPair(dlg->STTitle, dlg->IntEd, pair);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    readPair(dlg->IntEd, pair);
    return true;
}

bool askInts(TKV8AppForm &form, const QString &caption, const std::optional<IntPair> &first,
             const std::optional<IntPair> &second, const std::optional<IntPair> &third)
{
    auto dlg = std::make_unique<TInp3Data1Dlg>(&form);
    dlg->setWindowTitle(caption);
    showPair(dlg->STTitle1, dlg->IntEd1, first);
    showPair(dlg->STTitle2, dlg->IntEd2, second);
    showPair(dlg->STTitle3, dlg->IntEd3, third);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    readPair(dlg->IntEd1, first);
    readPair(dlg->IntEd2, second);
    readPair(dlg->IntEd3, third);
    return true;
}

bool askIntsAndText(TKV8AppForm &form, const QString &caption, const std::optional<IntPair> &first,
                    const std::optional<IntPair> &second, const std::optional<TextPair> &text, int focusText)
{
    auto dlg = std::make_unique<TInp3Data2Dlg>(&form, focusText, 0);
    dlg->setWindowTitle(caption);
    showPair(dlg->STTitle1, dlg->IntEd1, first);
    showPair(dlg->STTitle2, dlg->IntEd2, second);
    if (text) {
        dlg->STTitle3->setText(text->prompt);
        dlg->EdString->setText(text->text);
    } else {
        hidePair(dlg->STTitle3, dlg->EdString);
    }
    if (dlg->exec() != QDialog::Accepted)
        return false;
    readPair(dlg->IntEd1, first);
    readPair(dlg->IntEd2, second);
    if (text)
        text->text = dlg->EdString->text();
    return true;
}

bool askBlockNo(TKV8AppForm &form, uint8_t &block, const QString &caption, int32_t max)
{
    return askInt(form, caption, {QStringLiteral("ブロックＮＯを入力してください"), block, 0, max, 10});
}

bool askBlockAndText(TKV8AppForm &form, uint8_t &block, const QString &dataPrompt, const QString &caption)
{
    return askBlockAndText(form, block, TextPair{dataPrompt, form.TagDataText}, caption);
}

bool askBlockAndText(TKV8AppForm &form, uint8_t &block, const TextPair &text, const QString &caption)
{
    return askIntsAndText(form, caption, IntPair{QStringLiteral("ブロックＮＯ"), block}, std::nullopt, text);
}

bool askSingleBlockText(TKV8AppForm &form)
{
    return askBlockAndText(form, form.BlockNo,
                           QStringLiteral("データ（%1文字）").arg(static_cast<uint32_t>(form.TagBlockSize)));
}

TextPair rangeText(QString &text)
{
    return {QStringLiteral("データ（文字列）"), text};
}

bool askBlockRange(TKV8AppForm &form, uint8_t &first, uint8_t &count, bool withText)
{
    return askBlockRange(form, first, count, withText ? std::optional(rangeText(form.TagDataText)) : std::nullopt);
}

bool askBlockRange(TKV8AppForm &form, uint8_t &first, uint8_t &count, const std::optional<TextPair> &text)
{
    return askIntsAndText(form, QStringLiteral("設定値の入力"), IntPair{QStringLiteral("ブロックＮＯ"), first},
                          IntPair{QStringLiteral("ブロック数"), count}, text);
}

bool askByteValue(TKV8AppForm &form, IntRef value)
{
    int32_t shown = value.get() & 0xFF;
    if (!askInts(form, QStringLiteral("設定値の入力"), std::nullopt, std::nullopt,
                 IntPair{QStringLiteral("データ（１６進）"), shown, 0, 255, 16}))
        return false;
    value.set(shown);
    return true;
}

bool askBinaryBlock(TKV8AppForm &form, uint8_t &block, uint8_t *bytes, bool blockFixed)
{
    auto dlg = std::make_unique<TWrData1Dlg>(&form);
    TIntEdit *const data[4] = {dlg->EdData0, dlg->EdData1, dlg->EdData2, dlg->EdData3};
    dlg->EdAddr->SetValue(block);
    dlg->EdAddr->setEnabled(!blockFixed);
    for (int i = 3; i >= 0; --i)
        data[i]->SetValue(bytes[i]);
    if (dlg->exec() != QDialog::Accepted)
        return false;
    block = static_cast<uint8_t>(dlg->EdAddr->GetValue());
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(data[i]->GetValue());
    return true;
}

void convertBlockText(const TKV8AppForm &form, uint64_t blocks, DataBuffer &data)
{
    convertBlockText(form, blocks, form.TagDataText, data);
}

void convertBlockText(const TKV8AppForm &form, uint64_t blocks, const QString &text, DataBuffer &data)
{
    const uint64_t length = blockDataLength(form.TagBlockSize, blocks).value_or(0);
    if (length <= maxDataLength)
        StrToFixedBytes(text, data.data(), static_cast<int>(length));
}

bool blockWriteFits(const TKV8AppForm &form, uint8_t code, QByteArrayView params, uint64_t blocks, uint8_t flags)
{
    const std::optional<uint64_t> length = blockDataLength(form.TagBlockSize, blocks);
    return length && tagCommandData(code, params, {}, *length, flags, ByteSpan(form.CurrentUid, 8)).has_value();
}

void runBlockCommand(TKV8AppForm &form, TagFlags flags, void (TTComXDlg::*sender)(uint8_t, uint8_t), TagSteps steps)
{
    if (askBlockNo(form, form.BlockNo))
        runSender(form, flags, steps, sender, form.BlockNo);
}

void runRangeCommand(TKV8AppForm &form, TagFlags flags, void (TTComXDlg::*sender)(uint8_t, uint8_t, uint8_t),
                     TagSteps steps)
{
    if (askBlockRange(form, form.MultiBlockNo, form.MultiBlockCount, false))
        runSender(form, flags, steps, sender, form.MultiBlockNo, form.MultiBlockCount);
}

// --- the runner ---

RequestFlagSettings TKV8AppForm::requestFlagSettings() const
{
    return {UidFlag, ReadOptionFlag, ReadUidFlag, WriteOptionFlag, WriteUidFlag, fUSESetOption, Prog15693FLAG};
}

bool TKV8AppForm::RunCommand(const std::function<bool(TTComXDlg &hub)> &send, TagSteps steps)
{
    if (!TComXDlg)
        return false;
    const bool timed = (steps == TagSteps::WaitAndTime || steps == TagSteps::TimeOnly) && fTimeOut;
    const bool waits = steps == TagSteps::WaitAndTime || steps == TagSteps::WaitOnly;
    // A command started during this one's wait sets CmdStartTime too: this command's own start
    // is kept aside so that its time line doesn't count from the other's.
    const double start = timed ? currentDateTime() : 0;
    if (timed)
        CmdStartTime = start;
    if (!send(*TComXDlg))
        return false;
    const bool acked = waits && TComXDlg->WaitReply();
    if (applicationClosing())
        return false;
    if (timed) {
        CmdEndTime = currentDateTime();
        AddLog(QStringLiteral("実行時間: ") + elapsedTimeText(start, CmdEndTime));
    }
    return acked;
}

bool TKV8AppForm::RunTagCommand(TagFlags flags, const std::function<bool(TTComXDlg &hub, uint8_t flags)> &send,
                                TagSteps steps)
{
    const uint8_t byte = flags.byte(requestFlagSettings());
    return RunCommand([&](TTComXDlg &hub) { return send(hub, byte); }, steps);
}
