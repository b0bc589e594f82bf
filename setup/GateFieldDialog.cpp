#include "setup/GateFieldDialog.h"

#include "controls/DialogKit.h"

#include <QTabWidget>

namespace
{

QWidget *fieldControl(const DialogKit &kit, const GateField &field)
{
    const QString name = QString::fromLatin1(field.control);
    const QString caption = QString::fromUtf8(field.caption);
    switch (field.kind) {
    case GateControl::Radio: {
        const QStringList items = fieldItems(field, false);
        return kit.choiceGroup(name, caption, items, items.size() > 2 ? 2 : static_cast<int>(items.size()));
    }
    case GateControl::Combo:
        return kit.comboBox(name, fieldItems(field, false));
    case GateControl::Check:
        return kit.checkBox(name, caption);
    case GateControl::Edit:
        return kit.intEdit(name, {field.min, field.max, field.radix});
    case GateControl::Text:
    case GateControl::HexText:
        return kit.label(QString(), nullptr, name);
    }
    return nullptr;
}

// A combo, edit or static text sits in a row after its caption (its buddy), between the texts
// around it, with its notes underneath; radio groups and check boxes carry their own caption.
QWidget *fieldCell(const DialogKit &kit, QWidget *page, const GateField &field)
{
    QWidget *control = fieldControl(kit, field);
    if (field.kind == GateControl::Radio || field.kind == GateControl::Check)
        return control;
    auto *cell = new QWidget(page);
    auto *column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    const bool focusable = field.kind == GateControl::Combo || field.kind == GateControl::Edit;
    auto *row = new QHBoxLayout;
    row->addWidget(kit.label(QString::fromUtf8(field.caption), focusable ? control : nullptr));
    if (*field.before)
        row->addWidget(kit.label(QString::fromUtf8(field.before)));
    row->addWidget(control);
    if (*field.after)
        row->addWidget(kit.label(QString::fromUtf8(field.after)));
    row->addStretch();
    column->addLayout(row);
    const QString notes = QString::fromUtf8(field.notes);
    if (!notes.isEmpty())
        for (const QString &line : notes.split(QLatin1Char('|')))
            column->addWidget(kit.label(line));
    return cell;
}

template <class W> W *controlOf(const QWidget *root, const GateField &field)
{
    return root->findChild<W *>(QString::fromLatin1(field.control));
}

} // namespace

GateFieldDialog::GateFieldDialog(QWidget *owner, const QString &name, const QString &caption,
                                 const QList<GatePage> &pages, const QString &okText, const QString &cancelText)
    : RadixDialog(owner), pages_(pages)
{
    const DialogKit kit(this, name, caption);
    auto *outer = new QVBoxLayout(this);
    if (pages.size() > 1) {
        PageControl1 = DialogKit::named(new QTabWidget(this), "PageControl1");
        outer->addWidget(PageControl1);
    }
    for (int p = 0; p < pages.size(); ++p) {
        QWidget *page = this;
        auto *grid = new QGridLayout;
        if (PageControl1) {
            page = DialogKit::named(new QWidget(PageControl1), QStringLiteral("TabSheet%1").arg(p + 1));
            page->setLayout(grid);
            PageControl1->addTab(page, pages[p].caption);
        } else {
            outer->addLayout(grid);
        }
        int i = 0;
        for (const GateField &field : pages[p].fields) {
            grid->addWidget(fieldCell(kit, page, field), i / 2, i % 2);
            ++i;
        }
        grid->setRowStretch(grid->rowCount(), 1);
    }
    outer->addLayout(kit.confirmRow(OKBtn, CancelBtn, okText));
    CancelBtn->setText(cancelText);
}

void GateFieldDialog::setPageVisible(int page, bool visible)
{
    if (PageControl1)
        PageControl1->setTabVisible(page, visible);
}

void GateFieldDialog::setModelItems(bool m750)
{
    for (const GatePage &page : pages_)
        for (const GateField &field : page.fields)
            if (field.list == GateItems::VoiceA || field.list == GateItems::VoiceB) {
                auto *combo = controlOf<QComboBox>(this, field);
                combo->clear();
                combo->addItems(fieldItems(field, m750));
            }
}

QString fieldText(const GateField &field, QByteArrayView image)
{
    const uint32_t value = fieldValue(field, image);
    if (field.kind == GateControl::HexText)
        return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    if (field.width == 32)
        return QString::number(static_cast<int32_t>(value));
    return QString::number(value);
}

void fillFields(QWidget *root, std::span<const GateField> fields, QByteArrayView image)
{
    for (const GateField &field : fields) {
        if (!fieldFits(field, image.size()))
            continue;
        const uint32_t value = fieldValue(field, image);
        switch (field.kind) {
        case GateControl::Radio:
            controlOf<ChoiceGroup>(root, field)->setItemIndex(static_cast<int>(value));
            break;
        case GateControl::Combo: {
            auto *combo = controlOf<QComboBox>(root, field);
            combo->setCurrentIndex(value < static_cast<uint32_t>(combo->count()) ? static_cast<int>(value) : -1);
            break;
        }
        case GateControl::Check:
            controlOf<QCheckBox>(root, field)->setChecked(value != 0);
            break;
        case GateControl::Edit:
            controlOf<TIntEdit>(root, field)->SetValue(static_cast<int32_t>(value));
            break;
        case GateControl::Text:
        case GateControl::HexText:
            controlOf<QLabel>(root, field)->setText(fieldText(field, image));
            break;
        }
    }
}

QByteArray packFields(const QWidget *root, std::span<const GateField> fields, QByteArray image)
{
    for (const GateField &field : fields) {
        if (!fieldFits(field, image.size()))
            continue;
        int64_t value = -1;
        switch (field.kind) {
        case GateControl::Radio:
            value = controlOf<ChoiceGroup>(root, field)->itemIndex();
            break;
        case GateControl::Combo:
            value = controlOf<QComboBox>(root, field)->currentIndex();
            break;
        case GateControl::Check:
            value = controlOf<QCheckBox>(root, field)->isChecked() ? 1 : 0;
            break;
        case GateControl::Edit:
            value = static_cast<uint32_t>(controlOf<TIntEdit>(root, field)->GetValue());
            break;
        case GateControl::Text:
        case GateControl::HexText:
            break; // shown only
        }
        if (value >= 0)
            setFieldValue(field, image, static_cast<uint32_t>(value));
    }
    return image;
}
