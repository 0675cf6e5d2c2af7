#pragma once

#include <QString>

namespace tolvar {

// A cell of an entry table as the grid shows it: grid row r is table row r, grid column k is
// table column k; row 0 and column 0 are the grid's headers.
struct GridCell {
    int row = 0;
    int column = 0;
    bool operator==(const GridCell &) const = default;
};

// The visible grid of the device being edited. The settings window adapts its grid widget to
// this, so the table rules can redraw what they change without knowing the widget.
class GridView {
public:
    virtual ~GridView();
    virtual QString cellText(int row, int column) const = 0;
    virtual void setCellText(int row, int column, const QString &text) = 0;
};

} // namespace tolvar
