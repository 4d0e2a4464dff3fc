#include "platform/combo_box.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include <functional>
#include <vector>

namespace platform {

namespace {

// The items of one list. Writes land in items_ at once, so the program reads
// back what it wrote; the views and the completer see only the rows that
// publish() has announced. A loop that writes every item of a long list thus
// costs Qt one insertion and one change notice instead of one per item, and
// a write of the text an item already has costs a comparison.
class ItemModel : public QAbstractListModel {
public:
    explicit ItemModel(QObject* parent)
        : QAbstractListModel(parent)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : published_; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= published_)
            return {};
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return QString::fromStdString(items_[static_cast<std::size_t>(index.row())]);
    }

    int32_t count() const { return static_cast<int32_t>(items_.size()); }
    const std::string& item(int32_t row) const { return items_[static_cast<std::size_t>(row)]; }

    // Replaces item `row` or, when row equals count(), appends it. Returns
    // true when the views have something new to be told.
    bool write(int32_t row, const std::string& text)
    {
        if (row == count()) {
            items_.push_back(text);
            return true;
        }
        std::string& item = items_[static_cast<std::size_t>(row)];
        if (item == text)
            return false;
        item = text;
        if (row < published_) {
            changedFirst_ = changedFirst_ < 0 ? row : std::min(changedFirst_, row);
            changedLast_ = std::max(changedLast_, row);
        }
        return true;
    }

    bool pending() const { return published_ < count() || changedFirst_ >= 0; }

    void publish()
    {
        if (changedFirst_ >= 0) {
            int first = changedFirst_;
            int last = changedLast_;
            changedFirst_ = changedLast_ = -1;
            emit dataChanged(index(first), index(last));
        }
        if (published_ < count()) {
            beginInsertRows({}, published_, count() - 1);
            published_ = count();
            endInsertRows();
        }
    }

    // The item whose text is exactly `text`: `preferred` when it is one,
    // otherwise the first; -1 when none is.
    int32_t findExact(const std::string& text, int32_t preferred) const
    {
        if (preferred >= 0 && preferred < count() && item(preferred) == text)
            return preferred;
        for (int32_t row = 0; row < count(); ++row)
            if (item(row) == text)
                return row;
        return -1;
    }

private:
    std::vector<std::string> items_;
    int32_t published_ = 0;
    int32_t changedFirst_ = -1;
    int32_t changedLast_ = -1;
};

// The combo box widget; it reports a loss of the focus to the control.
// Focus that goes to a pop-up (the list's own drop-down or the completer's)
// or to another window is not a loss: the user is still at this list.
class ListWidget : public QComboBox {
public:
    std::function<void()> onFocusLost;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QComboBox::focusInEvent(event);
        // The field showed the start of its name while it was left alone; a
        // focus given by code puts the cursor after the name, for typing on.
        // (Tab selects the whole name, a click puts the cursor where it hit.)
        if (lineEdit() && event->reason() == Qt::OtherFocusReason)
            lineEdit()->end(false);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QComboBox::focusOutEvent(event);
        if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
            return;
        if (onFocusLost)
            onFocusLost();
        // Left alone, the field shows the start of its name again.
        if (lineEdit())
            lineEdit()->setCursorPosition(0);
    }
};

struct ComboImpl : ControlImpl {
    ComboImpl(Container& owner, ListWidget* list)
        : ControlImpl(owner, list)
        , combo(list)
        , model(new ItemModel(list))
    {
    }

    // Tells the views about the writes made since the last call. Called when
    // the event loop next runs, and before anything that needs the views to
    // know every item.
    void publish()
    {
        publishScheduled = false;
        if (!model->pending())
            return;
        int selectedBefore = combo->currentIndex();
        QString textBefore = combo->lineEdit()->text();
        model->publish();
        // Qt selects the first item of a list that gets its first items; this
        // list keeps "no selected item" and its text until code sets one.
        if (selectedBefore < 0 && combo->currentIndex() >= 0) {
            combo->setCurrentIndex(-1);
            combo->lineEdit()->setText(textBefore);
        }
    }

    void schedulePublish()
    {
        if (publishScheduled)
            return;
        publishScheduled = true;
        QMetaObject::invokeMethod(combo, [this] { publish(); }, Qt::QueuedConnection);
    }

    // Keeps listIndex() in step with the text in the edit field, whoever
    // changed it: the selected item's own text keeps it selected, another
    // item's exact text selects that item, any other text names none.
    void matchText(const QString& text)
    {
        std::string wanted = text.toStdString();
        int32_t selected = combo->currentIndex();
        if (selected >= 0 && selected < model->count() && model->item(selected) == wanted) {
            unmatched = false;
            return;
        }
        // An empty field names no city, even where a record has no name.
        int32_t match = wanted.empty() ? -1 : model->findExact(wanted, selected);
        if (match < 0) {
            unmatched = true;
            return;
        }
        if (match >= model->rowCount())
            publish();
        QLineEdit* edit = combo->lineEdit();
        int cursor = edit->cursorPosition();
        combo->setCurrentIndex(match);
        edit->setCursorPosition(cursor);
        unmatched = false;
    }

    void revertUnmatchedText()
    {
        if (!unmatched)
            return;
        int selected = combo->currentIndex();
        if (selected < 0)
            return;
        combo->lineEdit()->setText(combo->itemText(selected));
        unmatched = false;
    }

    ListWidget* combo;
    ItemModel* model;
    // True while the edit field holds a text that names no item.
    bool unmatched = false;
    bool publishScheduled = false;
};

ComboImpl& comboImpl(const ComboBox& box) { return static_cast<ComboImpl&>(box.impl()); }

} // namespace

ComboBox::ComboBox(Container& container)
    : Control(container, std::make_unique<ComboImpl>(container, new ListWidget))
{
    auto& impl = comboImpl(*this);
    ListWidget* combo = impl.combo;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setMaxVisibleItems(16);
    // The control's size is the designer's; nothing measures the items.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(0);
    combo->setModel(impl.model);
    if (auto* view = qobject_cast<QListView*>(combo->view()))
        view->setUniformItemSizes(true);

    // Offers every item whose text contains what has been typed.
    auto* completer = new QCompleter(impl.model, combo);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(16);
    if (auto* popup = qobject_cast<QListView*>(completer->popup()))
        popup->setUniformItemSizes(true);
    combo->setCompleter(completer);

    QLineEdit* edit = combo->lineEdit();
    QObject::connect(edit, &QLineEdit::textChanged, [this, edit](const QString& text) {
        comboImpl(*this).matchText(text);
        // A name longer than the field shows from its start, as in Windows,
        // unless the user is typing in it.
        if (!edit->hasFocus())
            edit->setCursorPosition(0);
    });
    QObject::connect(edit, &QLineEdit::textEdited, [this](const QString&) {
        if (onChange)
            Runtime::current().deliver(onChange);
    });
    combo->onFocusLost = [this] { comboImpl(*this).revertUnmatchedText(); };
}

int32_t ComboBox::listCount() const { return comboImpl(*this).model->count(); }

std::string ComboBox::list(int32_t index) const
{
    if (index < 0 || index >= listCount())
        raiseSubscript("list item " + std::to_string(index) + " does not exist: the list has "
                       + std::to_string(listCount()) + " items");
    return comboImpl(*this).model->item(index);
}

void ComboBox::setList(int32_t index, const std::string& text)
{
    auto& impl = comboImpl(*this);
    if (index < 0 || index > impl.model->count())
        raiseSubscript("list item " + std::to_string(index) + " cannot be written: the list has "
                       + std::to_string(impl.model->count()) + " items");
    if (impl.model->write(index, text))
        impl.schedulePublish();
}

int32_t ComboBox::listIndex() const
{
    auto& impl = comboImpl(*this);
    return impl.unmatched ? -1 : impl.combo->currentIndex();
}

void ComboBox::setListIndex(int32_t index)
{
    auto& impl = comboImpl(*this);
    if (index < -1 || index >= impl.model->count())
        throw RuntimeError(RuntimeErrorKind::Other,
                           "list index " + std::to_string(index) + " is not valid: the list has items 0 to "
                               + std::to_string(impl.model->count() - 1));
    impl.publish();
    impl.combo->blockSignals(true);
    impl.combo->setCurrentIndex(index);
    impl.combo->blockSignals(false);
    impl.unmatched = false;
}

std::string ComboBox::text() const
{
    auto& impl = comboImpl(*this);
    impl.publish();
    return impl.combo->currentText().toStdString();
}

void ComboBox::setText(const std::string& text)
{
    comboImpl(*this).combo->setEditText(QString::fromStdString(text));
}

void ComboBox::revertUnmatchedText()
{
    auto& impl = comboImpl(*this);
    impl.publish();
    impl.revertUnmatchedText();
}

void ComboBox::typeForTesting(const std::string& text)
{
    auto& impl = comboImpl(*this);
    impl.publish();
    QLineEdit* edit = impl.combo->lineEdit();
    QString keys = QString::fromStdString(text);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        // One key per character; a character outside the basic plane is a
        // surrogate pair and comes as one key.
        qsizetype length = keys.at(i).isHighSurrogate() && i + 1 < keys.size() ? 2 : 1;
        QString character = keys.mid(i, length);
        i += length - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &release);
    }
}

} // namespace platform
