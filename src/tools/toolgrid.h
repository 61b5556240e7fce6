// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace zelvora {

// The read-only list grid of the tools' windows: whole rows, one at a time, alternating colours, no row header,
// and Tab leaves the grid instead of walking its cells. Column widths are the caller's.
QTableView* makeToolGrid(const QString& objectName, const QString& accessibleName, QAbstractItemModel* model,
                         QWidget* parent);

} // namespace zelvora
