// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/toolgrid.h"

#include <QHeaderView>
#include <QTableView>

namespace zelvora {

QTableView* makeToolGrid(const QString& objectName, const QString& accessibleName, QAbstractItemModel* model,
                         QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(objectName);
    grid->setAccessibleName(accessibleName);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(22);
    return grid;
}

} // namespace zelvora
