#include "platform/forms/item_batch.h"
#include "platform/forms/qt/native_control.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include <functional>

namespace platform::qt {

namespace {

// The items of one list as Qt's views see them: only the rows the batch has
// published (platform/forms/item_batch.h).
class ItemModel : public QAbstractListModel {
public:
    explicit ItemModel(QObject* parent)
        : QAbstractListModel(parent)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : batch.published(); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= batch.published())
            return {};
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return QString::fromStdString(batch.item(index.row()));
    }

    void publish()
    {
        if (auto changed = batch.takeChanged())
            emit dataChanged(index(changed->first), index(changed->last));
        if (auto appended = batch.appended()) {
            beginInsertRows({}, appended->first, appended->last);
            batch.publishAppended();
            endInsertRows();
        }
    }

    ItemBatch batch;
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

// Hands the keys of the open drop-down to the rules before the drop-down
// itself sees them. The drop-down closes and chooses on Enter, F4 and
// Alt+Down when they are offered as shortcuts, before they come as keys:
// every key is taken as a key here, so that it reaches the rules.
class DroppedListKeys : public QObject {
public:
    DroppedListKeys(QWidget* view, backend::NativeEvents& events)
        : QObject(view)
        , events_(events)
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            return events_.nativeKeyPressed(keyCodeOf(*key), shiftStateOf(key->modifiers()));
        }
        return false;
    }

private:
    backend::NativeEvents& events_;
};

class ComboControl : public QtControl {
public:
    ComboControl(ListWidget* list, backend::NativeEvents& events)
        : QtControl(list, events)
        , combo_(list)
        , model_(new ItemModel(list))
    {
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMaxVisibleItems(backend::kDropDownRows);
        // The control's size is the designer's; nothing measures the items.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(0);
        list->setModel(model_);
        if (auto* view = qobject_cast<QListView*>(list->view()))
            view->setUniformItemSizes(true);

        // Offers every item whose text contains what has been typed.
        auto* completer = new QCompleter(model_, list);
        completer->setFilterMode(Qt::MatchContains);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setMaxVisibleItems(backend::kDropDownRows);
        if (auto* popup = qobject_cast<QListView*>(completer->popup()))
            popup->setUniformItemSizes(true);
        list->setCompleter(completer);

        QLineEdit* edit = list->lineEdit();
        QObject::connect(edit, &QLineEdit::textChanged, [&events, edit](const QString& text) {
            events.nativeTextChanged(text.toStdString());
            // A name longer than the field shows from its start, as in
            // Windows, unless the user is typing in it.
            if (!edit->hasFocus())
                edit->setCursorPosition(0);
        });
        QObject::connect(edit, &QLineEdit::textEdited, [&events](const QString&) { events.nativeTextEdited(); });
        list->onFocusLost = [&events] { events.nativeFocusLost(); };
        // What a text left in the field names is the rules' to say: the
        // combo box's own look for it when the field is left goes.
        QObject::disconnect(edit, SIGNAL(editingFinished()), list, nullptr);
        // The keys of the open list go to the rules first, as the field's do.
        new DroppedListKeys(list->view(), events);
    }

    void setItem(int32_t row, const std::string& text) override
    {
        model_->batch.write(row, text);
        schedulePublish();
    }

    int32_t selectedItem() const override { return combo_->currentIndex(); }

    void selectItem(int32_t index) override
    {
        publish();
        const QSignalBlocker quiet(combo_);
        combo_->setCurrentIndex(index);
    }

    void selectTypedItem(int32_t index) override
    {
        if (index >= model_->rowCount())
            publish();
        QLineEdit* edit = combo_->lineEdit();
        int cursor = edit->cursorPosition();
        combo_->setCurrentIndex(index);
        edit->setCursorPosition(cursor);
    }

    std::string text() const override
    {
        const_cast<ComboControl*>(this)->publish();
        return combo_->currentText().toStdString();
    }

    void setEditText(const std::string& text) override { combo_->setEditText(QString::fromStdString(text)); }

    bool dropped() const override { return combo_->view()->isVisible(); }

    void setDropped(bool dropped) override
    {
        if (dropped) {
            publish();
            combo_->showPopup();
        } else {
            combo_->hidePopup();
        }
    }

    int32_t markedItem() const override
    {
        QModelIndex current = combo_->view()->currentIndex();
        return current.isValid() ? current.row() : -1;
    }

    void markItem(int32_t row) override
    {
        QAbstractItemView* view = combo_->view();
        QModelIndex index = model_->index(row);
        view->setCurrentIndex(index);
        if (index.isValid())
            view->scrollTo(index);
    }

    // Tells the views about the writes made since the last call. Called when
    // the event loop next runs, and before anything that needs the views to
    // know every item.
    void publish()
    {
        publishScheduled_ = false;
        if (!model_->batch.pending())
            return;
        int selectedBefore = combo_->currentIndex();
        QString textBefore = combo_->lineEdit()->text();
        model_->publish();
        // Qt selects the first item of a list that gets its first items; this
        // list keeps "no selected item" and its text until code sets one.
        if (selectedBefore < 0 && combo_->currentIndex() >= 0) {
            combo_->setCurrentIndex(-1);
            combo_->lineEdit()->setText(textBefore);
        }
    }

private:
    void schedulePublish()
    {
        if (publishScheduled_)
            return;
        publishScheduled_ = true;
        QMetaObject::invokeMethod(combo_, [this] { publish(); }, Qt::QueuedConnection);
    }

    ListWidget* combo_;
    ItemModel* model_;
    bool publishScheduled_ = false;
};

} // namespace

std::unique_ptr<QtControl> createComboBox(backend::NativeEvents& events)
{
    return std::make_unique<ComboControl>(new ListWidget, events);
}

} // namespace platform::qt
