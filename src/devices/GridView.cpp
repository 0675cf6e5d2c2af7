#include "devices/GridView.h"

namespace tolvar {

GridView::~GridView() = default;

} // namespace tolvar
