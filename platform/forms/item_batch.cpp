#include "platform/forms/item_batch.h"

#include <algorithm>

namespace platform {

int32_t ItemBatch::count() const { return static_cast<int32_t>(items_.size()); }
int32_t ItemBatch::published() const { return published_; }
const std::string& ItemBatch::item(int32_t row) const { return items_[static_cast<std::size_t>(row)]; }

void ItemBatch::write(int32_t row, const std::string& text)
{
    if (row == count()) {
        items_.push_back(text);
        return;
    }
    items_[static_cast<std::size_t>(row)] = text;
    if (row < published_) {
        changedFirst_ = changedFirst_ < 0 ? row : std::min(changedFirst_, row);
        changedLast_ = std::max(changedLast_, row);
    }
}

bool ItemBatch::pending() const { return published_ < count() || changedFirst_ >= 0; }

std::optional<ItemBatch::Rows> ItemBatch::takeChanged()
{
    if (changedFirst_ < 0)
        return std::nullopt;
    Rows changed { changedFirst_, changedLast_ };
    changedFirst_ = changedLast_ = -1;
    return changed;
}

std::optional<ItemBatch::Rows> ItemBatch::appended() const
{
    if (published_ >= count())
        return std::nullopt;
    return Rows { published_, count() - 1 };
}

void ItemBatch::publishAppended() { published_ = count(); }

} // namespace platform
