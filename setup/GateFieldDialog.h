#pragma once

#include "controls/RadixDialog.h"
#include "setup/GateFields.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <span>

class QPushButton;
class QTabWidget;

// One page of a gate dialog: its tab caption and its fields.
struct GatePage {
    QString caption;
    std::span<const GateField> fields;
};

// A gate set-up dialog built from field tables: one tab per page (no tabs for a single page),
// each field's control named after it, and the confirm row. Nothing of its own beyond the
// layout: the handler fills it from the image it read and packs it back on OK.
class GateFieldDialog : public RadixDialog
{
    Q_OBJECT

public:
    GateFieldDialog(QWidget *owner, const QString &name, const QString &caption, const QList<GatePage> &pages,
                    const QString &okText, const QString &cancelText);

    QTabWidget *PageControl1 = nullptr; // null for a single page
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void setPageVisible(int page, bool visible);
    // The selection fields whose items depend on the model (the voice lists), emptied and filled.
    void setModelItems(bool m750);

private:
    QList<GatePage> pages_;
};

// Every field of the table that fits the image shows its value: a selection its item index
// (a value without an item selects nothing), a check box its bit, an edit its number, a static
// text its decimal or hex text.
void fillFields(QWidget *root, std::span<const GateField> fields, QByteArrayView image);
// The image as read with the bits of each field that fits replaced by its control: an item
// index or edit value cut to the field's width. A selection still without an item keeps the
// bits as read.
QByteArray packFields(const QWidget *root, std::span<const GateField> fields, QByteArray image);
// A field's text as a static text shows it.
QString fieldText(const GateField &field, QByteArrayView image);
