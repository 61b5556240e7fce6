// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "data/customerrow.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "waiting.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

QStringList shownNames(MainWindow& window)
{
    QStringList names;
    auto* model = window.model();
    for (int r = 0; r < model->rowCount(); ++r)
        names << model->index(r, CustomerListModel::MusteriFirma).data().toString();
    return names;
}

TEST(MainWindowLostServer, TheListSaysTheServerIsAwayKeepsItsRowsAndIsReadAgainWhenItIsBack)
{
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_NE(server, nullptr) << error.toStdString();
    Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    test::TestDatabase t(Engine::PostgreSQL);
    const auto add = [](const Database& db, const QString& kod, const QString& name) {
        return db.exec(
            QStringLiteral("INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, Sonislem, Gun, "
                           "sira_anahtari, arama_anahtari) VALUES (?, ?, 'Alıcı', 0, '2026-12-09', 0, ?, ?)"),
            {kod, name, customerrow::sortKeyOf(name), customerrow::searchKeyOf(name)});
    };
    ASSERT_TRUE(add(t.db(), QStringLiteral("1"), QStringLiteral("AHMET")));
    ASSERT_TRUE(add(t.db(), QStringLiteral("2"), QStringLiteral("BURAK")));
    MainWindow window(t.db());
    window.show();
    window.onActivated();
    ASSERT_EQ(shownNames(window), (QStringList {QStringLiteral("AHMET"), QStringLiteral("BURAK")}));

    test::MessageRecorder messages;
    ASSERT_TRUE(server->stop(&error)) << error.toStdString();
    window.onActivated();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor; liste okunamadı. Bağlantı gelince yeniden deneyin.")
                  .arg(server->port()));
    EXPECT_EQ(shownNames(window), (QStringList {QStringLiteral("AHMET"), QStringLiteral("BURAK")}));
    // Nothing keeps asking the absent server in the meantime.
    QTest::qWait(300);
    EXPECT_EQ(messages.messages().size(), 1);

    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    ASSERT_TRUE(add(*t.openAnother(), QStringLiteral("3"), QStringLiteral("CEMİL")));
    window.onActivated();
    EXPECT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(shownNames(window),
              (QStringList {QStringLiteral("AHMET"), QStringLiteral("BURAK"), QStringLiteral("CEMİL")}));
    Clock::reset();
}

} // namespace
