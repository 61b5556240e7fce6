// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace zelvora {

class Database;

// The balances of the whole customer table by account type, in whole kuruş.
struct ListTotals
{
    qint64 debtors = 0; // Bakiye over the "Alıcı" customers
    qint64 creditors = 0; // Bakiye over the "Satıcı" customers

    qint64 balance() const { return debtors - creditors; }
};

class ListTotalsStore final
{
public:
    explicit ListTotalsStore(const Database& db)
        : m_db(db)
    {
    }

    // Both sums, as kept per account type in the table liste_toplami; a customer without a balance adds
    // nothing and a sum over no rows is 0. Nothing (and the engine's text in *error) when the table cannot be read.
    std::optional<ListTotals> sums(QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
