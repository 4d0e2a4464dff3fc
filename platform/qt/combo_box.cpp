#include "platform/combo_box.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <QComboBox>
#include <QLineEdit>

namespace platform {

namespace {

struct ComboImpl : ControlImpl {
    ComboImpl(Container& container, QComboBox* combo)
        : ControlImpl(container, combo)
        , combo(combo)
    {
    }
    QComboBox* combo;
    // -1 once the user has typed a text that names no item.
    bool typedAway = false;
};

ComboImpl& comboImpl(const ComboBox& box) { return static_cast<ComboImpl&>(box.impl()); }

} // namespace

ComboBox::ComboBox(Container& container)
    : Control(container, std::make_unique<ComboImpl>(container, new QComboBox))
{
    auto& impl = comboImpl(*this);
    impl.combo->setEditable(true);
    impl.combo->setInsertPolicy(QComboBox::NoInsert);
    impl.combo->setFocusPolicy(Qt::StrongFocus);
    impl.combo->setMaxVisibleItems(16);
    QObject::connect(impl.combo->lineEdit(), &QLineEdit::textEdited, [this](const QString&) {
        comboImpl(*this).typedAway = true;
        if (onChange)
            Runtime::current().deliver(onChange);
    });
    QObject::connect(impl.combo, &QComboBox::activated, [this](int) { comboImpl(*this).typedAway = false; });
}

int32_t ComboBox::listCount() const { return comboImpl(*this).combo->count(); }

std::string ComboBox::list(int32_t index) const
{
    if (index < 0 || index >= listCount())
        raiseSubscript("list item " + std::to_string(index) + " does not exist: the list has "
                       + std::to_string(listCount()) + " items");
    return comboImpl(*this).combo->itemText(index).toStdString();
}

void ComboBox::setList(int32_t index, const std::string& text)
{
    auto* combo = comboImpl(*this).combo;
    if (index < 0 || index > combo->count())
        raiseSubscript("list item " + std::to_string(index) + " cannot be written: the list has "
                       + std::to_string(combo->count()) + " items");
    combo->blockSignals(true);
    if (index == combo->count()) {
        bool wasEmpty = combo->count() == 0;
        combo->addItem(QString::fromStdString(text));
        // An empty list that gets its first item keeps "no selection".
        if (wasEmpty)
            combo->setCurrentIndex(-1);
    } else {
        combo->setItemText(index, QString::fromStdString(text));
    }
    combo->blockSignals(false);
}

int32_t ComboBox::listIndex() const
{
    auto& impl = comboImpl(*this);
    return impl.typedAway ? -1 : impl.combo->currentIndex();
}

void ComboBox::setListIndex(int32_t index)
{
    auto& impl = comboImpl(*this);
    if (index < -1 || index >= impl.combo->count())
        throw RuntimeError(RuntimeErrorKind::Other,
                           "list index " + std::to_string(index) + " is not valid: the list has items 0 to "
                               + std::to_string(impl.combo->count() - 1));
    impl.combo->blockSignals(true);
    impl.combo->setCurrentIndex(index);
    impl.combo->blockSignals(false);
    impl.typedAway = false;
}

std::string ComboBox::text() const { return comboImpl(*this).combo->currentText().toStdString(); }

void ComboBox::setText(const std::string& text)
{
    comboImpl(*this).combo->setEditText(QString::fromStdString(text));
}

} // namespace platform
