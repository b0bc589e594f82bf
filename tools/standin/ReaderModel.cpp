#include "tools/standin/ReaderModel.h"

#include "tools/standin/FrameSplitter.h"

namespace
{

constexpr uint8_t ReplyAck = '0';
constexpr uint8_t ReplyNack = '1';
constexpr uint8_t ReplyReadData = 'D';
constexpr uint8_t ReplyScanRead = 'd';
constexpr uint8_t ReplyInventory = 'i';

constexpr uint8_t ModeAutoScan = 0x01;
constexpr uint8_t ModeInventory = 0x50;

// One frame holds the UIDs of 31 tags: a count, two bytes the program doesn't read, then the UIDs.
constexpr int UidListMax = 31;

// NACK classes, and the ISO 15693 error codes that follow class 5.
constexpr uint8_t NackNoTag = 4;
constexpr uint8_t NackTagError = 5;
constexpr uint8_t NackDataCount = 'A';
constexpr uint8_t NackChecksum = 'B';
constexpr uint8_t IsoNotSupported = 0x01;
constexpr uint8_t IsoNoSuchBlock = 0x10;
constexpr uint8_t IsoAlreadyLocked = 0x11;
constexpr uint8_t IsoLocked = 0x12;

// The request flags as the program sends them: bits 0-1 addressing (1: a UID follows the
// flags), bit 2 select, bit 4 option (a block-security byte before each block read).
constexpr uint8_t FlagSelect = 0x04;
constexpr uint8_t FlagOption = 0x10;

// Power-on operating mode: code 00, buzzer on. The area-1 image keeps the flags at byte 8
// and the code at byte 9, the other way round from the wire.
constexpr uint8_t PowerOnFlags = 0x10;
constexpr int EepromModeFlags = 8;
constexpr int EepromModeCode = 9;
constexpr int EepromS6700 = 4;

uint8_t at(const QByteArray &bytes, qsizetype i)
{
    return i < bytes.size() ? static_cast<uint8_t>(bytes.at(i)) : 0;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray uidList(const QList<const ModelTag *> &tags)
{
    QByteArray list = bytes({static_cast<int>(tags.size()), 0, 0});
    for (const ModelTag *tag : tags)
        list.append(tag->uid);
    return list;
}

QByteArray nackData(uint8_t errorClass, uint8_t errorCode = 0)
{
    return bytes({errorClass, errorCode});
}

QByteArray area1Defaults()
{
    QByteArray area(40, '\0');
    area[EepromModeFlags] = static_cast<char>(PowerOnFlags);
    return area;
}

} // namespace

ReaderModel::ReaderModel() : eeprom1(area1Defaults()), mode{0x00, 0x00, PowerOnFlags}
{
    addTag(bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xE0}), 28);
    addTag(bytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x07, 0xE0}), 28);
    currentUid = tags.first().uid;
}

ModelTag &ReaderModel::addTag(const QByteArray &uid, int blockCount)
{
    ModelTag tag;
    tag.uid = uid;
    for (int i = 0; i < blockCount; ++i) {
        QByteArray block;
        for (int j = 0; j < blockSize; ++j)
            block.append(static_cast<char>(i * blockSize + j));
        tag.blocks.append(block);
        tag.locked.append(false);
    }
    tags.append(tag);
    return tags.last();
}

ModelTag *ReaderModel::findTag(const QByteArray &uid)
{
    for (ModelTag &tag : tags) {
        if (tag.uid == uid)
            return &tag;
    }
    return nullptr;
}

QByteArray *ReaderModel::eepromArea(uint8_t subCode)
{
    return subCode == 0x70 ? &eeprom1 : subCode == 0x72 ? &eeprom2 : nullptr;
}

QList<QByteArray> ReaderModel::answer(const QByteArray &request)
{
    if (request.size() < 7 || request.size() != at(request, 3) + 7)
        return {};
    const uint8_t id = at(request, 1);
    readerId = id;
    const uint8_t cmd = at(request, 2);
    const QByteArray data = request.mid(4, at(request, 3));
    unsigned sum = 0;
    for (qsizetype i = 0; i < request.size() - 2; ++i)
        sum += static_cast<uint8_t>(request.at(i));

    Replies replies;
    if ((sum & 0xFF) != at(request, request.size() - 2)) {
        replies = {{ReplyNack, nackData(NackChecksum)}};
    } else if (cmd == 'O') {
        replies = get(data);
    } else if (cmd == 'N') {
        replies = set(data);
    } else if (cmd == 'x') {
        replies = tagCommand(data);
    } else if (cmd == 'R') {
        // A simple read: the first block of the first tag that answers.
        replies = {{ReplyNack, nackData(NackNoTag)}};
        for (const ModelTag &tag : std::as_const(tags)) {
            if (!tag.quiet && !tag.blocks.isEmpty()) {
                replies = {{ReplyReadData, tag.blocks.first()}};
                break;
            }
        }
    } else if (cmd != 'Q' || at(data, 0) != 0) { // a quit with value 0 wants no answer
        if (cmd == 'B')
            buzzer = at(data, 1);
        replies = {{ReplyAck, data.left(1)}};
    }
    QList<QByteArray> frames;
    for (const Reply &reply : std::as_const(replies))
        frames.append(peerFrame(id, reply.code, reply.data));
    return frames;
}

QList<const ModelTag *> ReaderModel::readyTags() const
{
    QList<const ModelTag *> found;
    for (const ModelTag &tag : tags) {
        if (!tag.quiet)
            found.append(&tag);
    }
    return found;
}

bool ReaderModel::reportsByItself() const
{
    return mode[0] == ModeAutoScan || mode[0] == ModeInventory;
}

QList<QByteArray> ReaderModel::fieldReport() const
{
    const QList<const ModelTag *> answering = readyTags();
    QList<QByteArray> frames;
    if (mode[0] == ModeAutoScan) {
        for (const ModelTag *tag : answering)
            frames.append(peerFrame(readerId, ReplyScanRead, tag->uid + tag->blocks.value(0)));
    } else if (mode[0] == ModeInventory && !answering.isEmpty()) {
        frames.append(peerFrame(readerId, ReplyInventory, uidList(answering.mid(0, UidListMax))));
    }
    return frames;
}

ReaderModel::Replies ReaderModel::get(const QByteArray &data)
{
    const uint8_t sub = at(data, 0);
    QByteArray answer = data.left(1);
    if (sub == 0x00) {
        answer.append(reinterpret_cast<const char *>(mode.data()), static_cast<qsizetype>(mode.size()));
    } else if (sub == 0x09) {
        answer.append(static_cast<char>(s6700));
    } else if (sub == 0x90) {
        answer.append(romVersion);
    } else if (sub == 0x93) {
        answer.append("STAND-IN");
    } else if (sub == 0x9C) {
        answer.append(static_cast<char>(antenna));
    } else if (sub == 0x9F || sub == 0x56) {
        answer.append(static_cast<char>(sub == 0x9F ? port : extPort));
    } else if (sub == 0x50) {
        answer.append(currentUid);
    } else if (sub == 0x53) {
        answer.append(static_cast<char>(tags.size()));
    } else if (sub == 0x54) {
        // The UIDs the reader has stored are those of the field, counted from 1.
        const int index = at(data, 1);
        if (index < 1 || index > tags.size())
            return {{ReplyNack, nackData(NackDataCount)}};
        answer = data.left(2) + '\0' + tags[index - 1].uid;
    } else if (sub >= ParamFirst && sub <= ParamLast) {
        answer.append(static_cast<char>(param(sub)));
    } else if (const QByteArray *area = eepromArea(sub)) {
        // Echo of sub-code, word address and count, then the words in image order.
        const int first = at(data, 1);
        const int count = at(data, 2);
        if (data.size() != 3 || first < 1 || count < 1 || (first - 1 + count) * 2 > area->size())
            return {{ReplyNack, nackData(NackDataCount)}};
        answer = data + area->mid((first - 1) * 2, count * 2);
    } else {
        answer = data + QByteArray(8, '\0');
    }
    return {{ReplyAck, answer}};
}

ReaderModel::Replies ReaderModel::set(const QByteArray &data)
{
    const uint8_t sub = at(data, 0);
    const Replies refused = {{ReplyNack, nackData(NackDataCount)}};
    if (sub == 0x00 || sub == 0x10) {
        // Code, second byte, flags, then the polling time the model doesn't use; a polling
        // write adds its block, count, data, flags and, when they address a tag, the UID.
        const int n = at(data, 8);
        const int pollWrite = 7 + 2 + n + 1 + ((at(data, 9 + n) & 3) == 1 ? 8 : 0);
        if (data.size() != 7 && (at(data, 1) != 0x23 || data.size() != pollWrite))
            return refused;
        mode = {at(data, 1), at(data, 2), at(data, 3)};
        if (sub == 0x10) {
            eeprom1[EepromModeFlags] = static_cast<char>(mode[2]);
            eeprom1[EepromModeCode] = static_cast<char>(mode[0]);
        }
    } else if (sub == 0x09 || sub == 0x19) {
        if (data.size() != 2)
            return refused;
        s6700 = at(data, 1);
        if (sub == 0x19)
            eeprom1[EepromS6700] = static_cast<char>(s6700);
    } else if (QByteArray *area = eepromArea(sub)) {
        const int first = at(data, 1);
        const int count = at(data, 2);
        if (first < 1 || count < 1 || (first - 1 + count) * 2 > area->size() || data.size() != 3 + count * 2)
            return refused;
        area->replace((first - 1) * 2, count * 2, data.mid(3));
    } else if (sub >= ParamFirst && sub <= ParamLast) {
        if (data.size() != 2)
            return refused;
        param(sub) = at(data, 1);
    } else if (sub == 0x9C) {
        if (data.size() != 2)
            return refused;
        antenna = at(data, 1);
    } else if (sub == 0x9F) {
        if (data.size() != 3)
            return refused;
        port = at(data, 2);
    } else if (sub == 0x56) {
        if (data.size() != 2)
            return refused;
        extPort = at(data, 1);
    } else if (sub == 0x50) {
        if (data.size() != 9)
            return refused;
        currentUid = data.mid(1);
    } else if (sub == 0x55) {
        if (data.size() != 4 || at(data, 1) > 1)
            return refused;
        leds[at(data, 1)] = {at(data, 2), at(data, 3)};
    } else if (sub == 0x57) {
        if (data.size() != 6)
            return refused;
        ledBuzzer = {at(data, 1), at(data, 2), at(data, 3), at(data, 4), at(data, 5)};
    } else if (sub == 0x71) {
        eeprom1 = area1Defaults();
        eeprom2.fill('\0');
    }
    return {{ReplyAck, data.left(1)}};
}

ReaderModel::Replies ReaderModel::tagCommand(const QByteArray &data)
{
    const uint8_t code = at(data, 0);
    const Replies refused = {{ReplyNack, nackData(NackDataCount)}};
    const Replies noTag = {{ReplyNack, nackData(NackNoTag)}};
    switch (code) {
    case 0x01: { // inventory: the first tag not kept quiet answers
        if (data.size() != 2)
            return refused;
        const QList<const ModelTag *> answering = readyTags();
        if (answering.isEmpty())
            return noTag;
        return {{ReplyAck, bytes({0x01, answering.first()->dsfid}) + answering.first()->uid}};
    }
    case 0xF0: { // every tag not kept quiet: their count, then, when asked for, their UIDs
        if (data.size() != 3)
            return refused;
        const QList<const ModelTag *> answering = readyTags().mid(0, UidListMax);
        Replies replies = {{ReplyAck, bytes({0xF0, static_cast<int>(answering.size())})}};
        if (at(data, 2) != 0 && !answering.isEmpty())
            replies.append({ReplyInventory, uidList(answering)});
        return replies;
    }
    case 0x02:   // stay quiet
    case 0x25: { // select: the UID always follows the flags
        if (data.size() != 10)
            return refused;
        ModelTag *tag = findTag(data.mid(2, 8));
        if (!tag)
            return noTag;
        if (code == 0x25) {
            for (ModelTag &other : tags)
                other.selected = false;
        }
        tag->quiet = code == 0x02;
        tag->selected = code == 0x25;
        return {{ReplyAck, data.left(1)}};
    }
    default:
        break;
    }

    // The others: parameters (with any data to write), the flags, and the UID when the flags
    // address a tag.
    int paramCount = 0;
    switch (code) {
    case 0x26:
    case 0x28:
    case 0x2A:
    case 0x2B:
        break;
    case 0x20:
    case 0x22:
    case 0x27:
    case 0x29:
    case 0xA3:
        paramCount = 1;
        break;
    case 0x23:
    case 0x2C:
    case 0xA0:
        paramCount = 2;
        break;
    case 0x21:
        paramCount = 1 + blockSize;
        break;
    case 0x24:
        paramCount = 2 + blockSize * (at(data, 2) + 1);
        break;
    case 0xA2:
        paramCount = 9;
        break;
    default:
        return {{ReplyAck, data.left(1)}};
    }
    if (data.size() < paramCount + 2)
        return refused;
    const uint8_t flags = at(data, paramCount + 1);
    const bool addressed = (flags & 3) == 1;
    if (data.size() != paramCount + 2 + (addressed ? 8 : 0))
        return refused;
    if (code == 0x26 && !addressed && !(flags & FlagSelect)) { // reset to ready: every tag
        for (ModelTag &tag : tags)
            tag.quiet = tag.selected = false;
        return {{ReplyAck, data.left(1)}};
    }
    ModelTag *tag = nullptr;
    if (addressed) {
        tag = findTag(data.right(8));
    } else {
        for (ModelTag &candidate : tags) {
            if ((flags & FlagSelect) ? candidate.selected : !candidate.quiet) {
                tag = &candidate;
                break;
            }
        }
    }
    if (!tag)
        return noTag;
    return tagBlockCommand(code, *tag, data.mid(1, paramCount), flags);
}

ReaderModel::Replies ReaderModel::tagBlockCommand(uint8_t code, ModelTag &tag, const QByteArray &params, uint8_t flags)
{
    const auto tagError = [](uint8_t isoCode) { return Replies{{ReplyNack, nackData(NackTagError, isoCode)}}; };
    const Replies done = {{ReplyAck, QByteArray(1, static_cast<char>(code))}};
    const int first = at(params, 0);
    int count = 1;
    if (code == 0x23 || code == 0x24 || code == 0x2C)
        count = at(params, 1) + 1;
    else if (code == 0xA2 || code == 0xA3)
        count = 2;
    else if (code == 0xA0) // a byte count, from the first byte of block `first`
        count = (at(params, 1) + blockSize - 1) / blockSize;
    const bool onBlocks =
        (code >= 0x20 && code <= 0x24) || code == 0x2C || code == 0xA0 || code == 0xA2 || code == 0xA3;
    if (onBlocks && first + count > tag.blocks.size())
        return tagError(IsoNoSuchBlock);

    switch (code) {
    case 0x20:
    case 0x23: {
        QByteArray answer(1, static_cast<char>(code));
        for (int b = first; b < first + count; ++b) {
            if (flags & FlagOption)
                answer.append(tag.locked[b] ? '\x01' : '\x00');
            answer.append(tag.blocks[b]);
        }
        if (answer.size() > 255)
            return {{ReplyNack, nackData(NackDataCount)}};
        return {{ReplyAck, answer}};
    }
    case 0x21:
    case 0x24:
    case 0xA2: {
        const QByteArray written = params.mid(code == 0x24 ? 2 : 1);
        if (written.size() != count * blockSize) // the two-block write takes blocks of four bytes
            return tagError(IsoNotSupported);
        for (int b = first; b < first + count; ++b) {
            if (tag.locked[b])
                return tagError(IsoLocked);
        }
        for (int b = first; b < first + count; ++b)
            tag.blocks[b] = written.mid((b - first) * blockSize, blockSize);
        return done;
    }
    case 0x22:
    case 0xA3:
        for (int b = first; b < first + count; ++b) {
            if (tag.locked[b])
                return tagError(IsoAlreadyLocked);
        }
        for (int b = first; b < first + count; ++b)
            tag.locked[b] = true;
        return done;
    case 0x2C: {
        QByteArray answer(1, static_cast<char>(code));
        for (int b = first; b < first + count; ++b)
            answer.append(tag.locked[b] ? '\x01' : '\x00');
        return {{ReplyAck, answer}};
    }
    case 0xA0: {
        QByteArray memory;
        for (int b = first; b < first + count; ++b)
            memory.append(tag.blocks[b]);
        return {{ReplyAck, QByteArray(1, static_cast<char>(code)) + memory.left(at(params, 1))}};
    }
    case 0x27:
    case 0x29: {
        if (code == 0x27 ? tag.afiLocked : tag.dsfidLocked)
            return tagError(IsoLocked);
        (code == 0x27 ? tag.afi : tag.dsfid) = static_cast<uint8_t>(first);
        return done;
    }
    case 0x28:
    case 0x2A: {
        bool &locked = code == 0x28 ? tag.afiLocked : tag.dsfidLocked;
        if (locked)
            return tagError(IsoAlreadyLocked);
        locked = true;
        return done;
    }
    case 0x2B: // every optional field: DSFID, AFI, memory size, IC reference
        return {{ReplyAck, bytes({0x2B, 0x0F}) + tag.uid +
                               bytes({tag.dsfid, tag.afi, static_cast<int>(tag.blocks.size()) - 1,
                                      (blockSize - 1) & 0x1F, tag.icRef})}};
    default: // 0x26, reset to ready, addressed or to the selected tag
        tag.quiet = tag.selected = false;
        return done;
    }
}
