#pragma once

// A list's items as a backend hands them to a toolkit's list views: in
// batches. The views know only the rows that have been published; a loop
// that writes every item of a long list thus costs them one insertion and
// one change notice instead of one per item. A backend writes each item as
// the rules give it, and publishes when its event loop next runs and before
// anything that needs the views to know every item.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class ItemBatch {
public:
    struct Rows {
        int32_t first = 0;
        int32_t last = 0;
    };

    int32_t count() const;
    // The rows the views know: 0 .. published() - 1.
    int32_t published() const;
    const std::string& item(int32_t row) const;

    // Replaces item `row` or, when row equals count(), appends it.
    void write(int32_t row, const std::string& text);
    // Some write has not been published yet.
    bool pending() const;

    // The rows the views know that were written since the last call, if
    // any; the views are to be told of their new texts.
    std::optional<Rows> takeChanged();
    // The rows appended since they were last published, if any; the views
    // are to be told of the insertion around publishAppended().
    std::optional<Rows> appended() const;
    void publishAppended();

private:
    std::vector<std::string> items_;
    int32_t published_ = 0;
    int32_t changedFirst_ = -1;
    int32_t changedLast_ = -1;
};

} // namespace platform
