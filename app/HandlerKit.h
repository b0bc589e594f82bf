#pragma once

// The steps every command handler of the main window is built from: ask with one of the small
// input dialogs (each integer field starts from a remembered field and is read back into it on
// OK; a cancelled dialog sends nothing), convert a data text, send through one hub sender with
// the request flags, then wait and log the elapsed time as the menu row says. A handler names
// its dialog, its sender and its steps:
//
//     if (askBlockNo(*this, BlockNo))
//         runSender(*this, FlagRule::RP, TagSteps::WaitAndTime, &TTComXDlg::ISO15693_ReadSingleBlock, BlockNo);
//
// Every dialog lives inside one ask call only: it is read back and deleted before the command
// goes out, so nothing that runs during the reply wait can reach it.

#include "app/KV8AppForm.h"
#include "app/RequestFlags.h"
#include "link/TTComXDlg.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>

class QLabel;
class QWidget;
class TIntEdit;

// The write handlers convert their data into a zeroed buffer of this size.
using DataBuffer = std::array<uint8_t, 256>;

// A remembered field (or a handler's local) that a dialog's integer field starts from and is
// read back into, cut to the field's width.
class IntRef
{
public:
    IntRef(uint8_t &field) : field_(&field) {}
    IntRef(uint16_t &field) : field_(&field) {}
    IntRef(int32_t &field) : field_(&field) {}
    IntRef(uint32_t &field) : field_(&field) {}
    int32_t get() const;
    void set(int32_t value) const;

private:
    std::variant<uint8_t *, uint16_t *, int32_t *, uint32_t *> field_;
};

// One prompt and integer field: range and radix (0 keeps the dialog's own radix). A maximum
// of -1 with a positive radix is the whole unsigned 32-bit range.
struct IntPair {
    QString prompt;
    IntRef field;
    int32_t min = 0;
    int32_t max = 255;
    int radix = 0;
};

// The prompt and text field of TInp3Data2Dlg.
struct TextPair {
    QString prompt;
    QString &text;
};

// The range, radix and value of one integer field, in the order that keeps the value inside
// the new range.
void setField(TIntEdit *edit, int radix, int32_t value, int32_t min = 0, int32_t max = 255);
// A pair the command doesn't need: empty prompt, field hidden.
void hidePair(QLabel *title, QWidget *edit);

// --- the dialogs, each with any pair (std::nullopt: hidden) ---

// TInputIntDlg: one prompt and field.
bool askInt(TKV8AppForm &form, const QString &caption, const IntPair &pair);
// TInp3Data1Dlg: three integer pairs.
bool askInts(TKV8AppForm &form, const QString &caption, const std::optional<IntPair> &first,
             const std::optional<IntPair> &second, const std::optional<IntPair> &third);
// TInp3Data2Dlg: two integer pairs and the text pair; focusText as the dialog takes it.
bool askIntsAndText(TKV8AppForm &form, const QString &caption, const std::optional<IntPair> &first,
                    const std::optional<IntPair> &second, const std::optional<TextPair> &text, int focusText = 0);

// --- the dialogs most rows share ---

// TInputIntDlg "ブロックＮＯ" / "ブロックＮＯを入力してください": 0..max, decimal.
bool askBlockNo(TKV8AppForm &form, uint8_t &block, const QString &caption = QStringLiteral("ブロックＮＯ"),
                int32_t max = 255);
// One block number and a data text (the window's shared TagDataText, or the text pair's own
// remembered field); the second pair hidden.
bool askBlockAndText(TKV8AppForm &form, uint8_t &block, const QString &dataPrompt,
                     const QString &caption = QStringLiteral("設定値の入力"));
bool askBlockAndText(TKV8AppForm &form, uint8_t &block, const TextPair &text,
                     const QString &caption = QStringLiteral("設定値の入力"));
// BlockNo and the shared data text of one block ("データ（" + TagBlockSize + "文字）").
bool askSingleBlockText(TKV8AppForm &form);
// First block and block count, with or without the shared data text, or with a text field of
// the caller's ("データ（文字列）" and the remembered text: rangeText).
bool askBlockRange(TKV8AppForm &form, uint8_t &first, uint8_t &count, bool withText);
bool askBlockRange(TKV8AppForm &form, uint8_t &first, uint8_t &count, const std::optional<TextPair> &text);
TextPair rangeText(QString &text);
// One byte in hex ("データ（１６進）"), offered masked to 8 bits; the other pairs hidden.
bool askByteValue(TKV8AppForm &form, IntRef value);
// TWrData1Dlg: the block address and four data bytes, bytes[0] the lower byte (EdData0);
// blockFixed shows the address disabled.
bool askBinaryBlock(TKV8AppForm &form, uint8_t &block, uint8_t *bytes, bool blockFixed = false);

// The shared data text of a block write (blocks x TagBlockSize bytes, counted wide since both
// come from the operator and the settings file) into data. A length past the frame's limit is
// refused by the sender (its line in the log, nothing sent), so the text is converted only
// when it fits.
void convertBlockText(const TKV8AppForm &form, uint64_t blocks, DataBuffer &data);
void convertBlockText(const TKV8AppForm &form, uint64_t blocks, const QString &text, DataBuffer &data);
// Whether the block write with this code and these parameters, of blocks x TagBlockSize data
// bytes, fits one frame by the sender's own rule (the window's UID added when the flags say
// addressed). A write that doesn't is refused by its sender.
bool blockWriteFits(const TKV8AppForm &form, uint8_t code, QByteArrayView params, uint64_t blocks, uint8_t flags);

// --- sending ---

// Calls one hub sender. A sender that returns a bool says whether it sent (false: refused,
// nothing went out); one that returns nothing always sends.
template <class R, class... Params, class... Args>
bool callSender(TTComXDlg &hub, R (TTComXDlg::*sender)(Params...), Args... args)
{
    if constexpr (std::is_same_v<R, bool>) {
        return (hub.*sender)(args...);
    } else {
        (hub.*sender)(args...);
        return true;
    }
}

// A tag command: the values, then the flags (the argument order of most tag senders). Returns
// the wait's verdict (RunTagCommand).
template <class R, class... Params, class... Values>
bool runSender(TKV8AppForm &form, TagFlags flags, TagSteps steps, R (TTComXDlg::*sender)(Params...), Values... values)
{
    return form.RunTagCommand(
        flags, [=](TTComXDlg &hub, uint8_t byte) { return callSender(hub, sender, values..., byte); }, steps);
}

// A reader command: no request flags.
template <class R, class... Params, class... Values>
bool runReaderSender(TKV8AppForm &form, TagSteps steps, R (TTComXDlg::*sender)(Params...), Values... values)
{
    return form.RunCommand([=](TTComXDlg &hub) { return callSender(hub, sender, values...); }, steps);
}

// The rows that ask for one block number (BlockNo) and send it.
void runBlockCommand(TKV8AppForm &form, TagFlags flags, void (TTComXDlg::*sender)(uint8_t, uint8_t),
                     TagSteps steps = TagSteps::WaitAndTime);
// The rows that ask for a first block and a count (MultiBlockNo, MultiBlockCount) and send them.
void runRangeCommand(TKV8AppForm &form, TagFlags flags, void (TTComXDlg::*sender)(uint8_t, uint8_t, uint8_t),
                     TagSteps steps = TagSteps::WaitAndTime);
