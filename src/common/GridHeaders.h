#pragma once

class QTableWidget;

namespace tolvar {

// Row 0 and column 0 of the program's grids hold the column captions and the row labels as
// cells, where the table code reads them. The grid hides those cells and shows the same texts
// in its own headers, which stay in view on scrolling, never take typing, and select whole rows
// from the row labels. Called again after the fixed cells change.
void showFixedCellsAsHeaders(QTableWidget &grid);

} // namespace tolvar
