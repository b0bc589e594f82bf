#include "controls/DialogKit.h"

#include "controls/FmtEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

// Watches the keys that reach the dialog, that is, those the focused widget left alone.
class ConfirmKeys : public QObject
{
public:
    ConfirmKeys(QDialog *dialog, QPushButton *confirm, QPushButton *cancel)
        : QObject(dialog), dialog_(dialog), confirm_(confirm), cancel_(cancel)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != dialog_ || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (mods != Qt::NoModifier && !(mods == Qt::KeypadModifier && key->key() == Qt::Key_Enter))
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // A push button that leaves Enter to the dialog (not the default, no auto-default)
            // is pressed all the same, as the focused button is.
            auto *focused = qobject_cast<QPushButton *>(dialog_->focusWidget());
            press(focused ? focused : confirm_.data());
            return true;
        }
        case Qt::Key_Escape:
            if (!cancel_)
                return false;
            press(cancel_);
            return true;
        default:
            return false;
        }
    }

private:
    static void press(QPushButton *button)
    {
        if (button && button->isVisible() && button->isEnabled())
            button->click();
    }

    QDialog *dialog_;
    QPointer<QPushButton> confirm_;
    QPointer<QPushButton> cancel_;
};

QWidget *firstWidgetIn(QLayout *layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget())
            return item->widget();
        if (item->layout()) {
            if (QWidget *inner = firstWidgetIn(item->layout()))
                return inner;
        }
    }
    return nullptr;
}

} // namespace

// --- LayoutCell ---

LayoutCell LayoutCell::stretch(int factor)
{
    LayoutCell cell(nullptr);
    cell.stretch_ = factor;
    return cell;
}

LayoutCell LayoutCell::span(int columns) const
{
    LayoutCell cell = *this;
    cell.columns_ = columns;
    return cell;
}

// --- ChoiceGroup ---

ChoiceGroup::ChoiceGroup(const QString &name, const QString &title, const QStringList &items, int columns,
                         QWidget *parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    setObjectName(name);
    group_->setObjectName(name + QStringLiteral("Buttons"));
    auto *layout = new QGridLayout(this);
    const int count = static_cast<int>(items.size());
    const int perColumn = columns > 1 ? (count + columns - 1) / columns : count;
    for (int i = 0; i < count; ++i) {
        auto *radio = new QRadioButton(items[i], this);
        radio->setObjectName(name + QString::number(i));
        group_->addButton(radio, i);
        layout->addWidget(radio, perColumn > 0 ? i % perColumn : 0, perColumn > 0 ? i / perColumn : 0);
    }
    connect(group_, &QButtonGroup::idClicked, this, &ChoiceGroup::itemClicked);
}

int ChoiceGroup::itemIndex() const
{
    return group_->checkedId();
}

void ChoiceGroup::setItemIndex(int index)
{
    if (QAbstractButton *radio = group_->button(index)) {
        radio->setChecked(true);
        return;
    }
    group_->setExclusive(false);
    for (QAbstractButton *radio : group_->buttons())
        radio->setChecked(false);
    group_->setExclusive(true);
}

int ChoiceGroup::count() const
{
    return static_cast<int>(group_->buttons().size());
}

QAbstractButton *ChoiceGroup::button(int index) const
{
    return group_->button(index);
}

// --- DialogKit ---

DialogKit::DialogKit(QDialog *dialog, const QString &name, const QString &caption) : dialog_(dialog)
{
    dialog->setObjectName(name);
    if (!caption.isEmpty())
        dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

QLabel *DialogKit::label(const QString &text, QWidget *buddy, const QString &name) const
{
    auto *widget = new QLabel(text, dialog_);
    if (!name.isEmpty())
        widget->setObjectName(name);
    if (buddy)
        widget->setBuddy(buddy);
    return widget;
}

QPushButton *DialogKit::button(const QString &name, const QString &text) const
{
    // No auto-default: the confirm keys decide what Enter presses, not the focus history.
    auto *widget = named(new QPushButton(text, dialog_), name);
    widget->setAutoDefault(false);
    return widget;
}

QCheckBox *DialogKit::checkBox(const QString &name, const QString &text) const
{
    return named(new QCheckBox(text, dialog_), name);
}

TIntEdit *DialogKit::intEdit(const QString &name, IntRange range) const
{
    // The radix first: changing it swaps a default range for the other view's default.
    auto *edit = named(new TIntEdit(dialog_), name);
    edit->SetRadix(range.radix);
    edit->SetMinValue(range.min);
    edit->SetMaxValue(range.max);
    return edit;
}

TFmtEdit *DialogKit::fmtIntEdit(const QString &name, int32_t min, int32_t max) const
{
    auto *edit = named(new TFmtEdit(dialog_), name);
    edit->SetFmtKind(fkInt);
    edit->SetMinValue(QString::number(min));
    edit->SetMaxValue(QString::number(max));
    edit->SetValidChars(QStringLiteral("+-0123456789"));
    edit->Loaded();
    return edit;
}

ChoiceGroup *DialogKit::choiceGroup(const QString &name, const QString &title, const QStringList &items,
                                    int columns) const
{
    return new ChoiceGroup(name, title, items, columns, dialog_);
}

QComboBox *DialogKit::comboBox(const QString &name, const QStringList &items) const
{
    auto *combo = named(new QComboBox(dialog_), name);
    combo->addItems(items);
    return combo;
}

QGroupBox *DialogKit::groupBox(const QString &name, const QString &title) const
{
    return named(new QGroupBox(title, dialog_), name);
}

QGridLayout *DialogKit::grid(QWidget *owner, std::initializer_list<std::initializer_list<LayoutCell>> rows) const
{
    auto *layout = owner ? new QGridLayout(owner) : new QGridLayout;
    int r = 0;
    for (const auto &cells : rows) {
        int c = 0;
        QLabel *pending = nullptr;
        for (const LayoutCell &cell : cells) {
            if (cell.isText_) {
                pending = label(cell.text_);
                layout->addWidget(pending, r, c, 1, cell.columns_);
            } else if (cell.widget_ || cell.layout_) {
                if (cell.widget_)
                    layout->addWidget(cell.widget_, r, c, 1, cell.columns_);
                else
                    layout->addLayout(cell.layout_, r, c, 1, cell.columns_);
                if (pending)
                    pending->setBuddy(cell.widget_ ? cell.widget_ : firstWidgetIn(cell.layout_));
                pending = nullptr;
            }
            c += cell.columns_;
        }
        ++r;
    }
    return layout;
}

void DialogKit::addCells(QBoxLayout *box, std::initializer_list<LayoutCell> cells) const
{
    QLabel *pending = nullptr;
    for (const LayoutCell &cell : cells) {
        if (cell.isText_) {
            pending = label(cell.text_);
            box->addWidget(pending);
        } else if (cell.widget_ || cell.layout_) {
            if (cell.widget_)
                box->addWidget(cell.widget_);
            else
                box->addLayout(cell.layout_);
            if (pending)
                pending->setBuddy(cell.widget_ ? cell.widget_ : firstWidgetIn(cell.layout_));
            pending = nullptr;
        } else if (cell.stretch_ > 0) {
            box->addStretch(cell.stretch_);
        }
    }
}

QHBoxLayout *DialogKit::row(QWidget *owner, std::initializer_list<LayoutCell> cells) const
{
    auto *layout = owner ? new QHBoxLayout(owner) : new QHBoxLayout;
    addCells(layout, cells);
    return layout;
}

QVBoxLayout *DialogKit::column(QWidget *owner, std::initializer_list<LayoutCell> cells) const
{
    auto *layout = owner ? new QVBoxLayout(owner) : new QVBoxLayout;
    addCells(layout, cells);
    return layout;
}

void DialogKit::confirmButtons(QPushButton *&ok, QPushButton *&cancel, const QString &okText) const
{
    ok = button(QStringLiteral("OKBtn"), okText);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog_, &QDialog::accept);
    cancel = button(QStringLiteral("CancelBtn"), QStringLiteral("キャンセル"));
    QObject::connect(cancel, &QPushButton::clicked, dialog_, &QDialog::reject);
    installConfirmKeys(dialog_, ok, cancel);
}

QHBoxLayout *DialogKit::confirmRow(QPushButton *&ok, QPushButton *&cancel, const QString &okText) const
{
    confirmButtons(ok, cancel, okText);
    return row(nullptr, {LayoutCell::stretch(), ok, cancel});
}

void DialogKit::installConfirmKeys(QDialog *dialog, QPushButton *confirm, QPushButton *cancel)
{
    new ConfirmKeys(dialog, confirm, cancel);
}
