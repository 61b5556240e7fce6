// SPDX-License-Identifier: GPL-3.0-or-later
// The sign-in check: one Argon2id verification against the user table. It must answer in under 0.5 s.
#include "testdatabase.h"
#include "users/passwordhash.h"
#include "users/userstore.h"

#include "benchmain.h"
#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

void prepareUsers(test::TestDatabase& tdb)
{
    for (int i = 0; i < 20; ++i)
        tdb.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                      {QStringLiteral("KULLANICI %1").arg(i), passwords::hash(QStringLiteral("sifre %1").arg(i))});
}

void SignInRightPassword(benchmark::State& state)
{
    test::TestDatabase tdb;
    prepareUsers(tdb);
    const UserStore store(tdb.db());
    for (auto _ : state) {
        const auto result = store.signIn(QStringLiteral("KULLANICI 7"), QStringLiteral("sifre 7"));
        if (result.result != UserStore::CheckResult::SignedIn)
            state.SkipWithError("sign-in refused");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(SignInRightPassword)->Unit(benchmark::kMillisecond)->UseRealTime();

void SignInWrongPassword(benchmark::State& state)
{
    test::TestDatabase tdb;
    prepareUsers(tdb);
    const UserStore store(tdb.db());
    for (auto _ : state) {
        const auto result = store.signIn(QStringLiteral("KULLANICI 7"), QStringLiteral("Sifre 7"));
        if (result.result != UserStore::CheckResult::WrongPassword)
            state.SkipWithError("wrong password accepted");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(SignInWrongPassword)->Unit(benchmark::kMillisecond)->UseRealTime();

// First sign-in on a plain-text row: exact comparison plus hashing and storing the hash.
void SignInPlainTextRow(benchmark::State& state)
{
    test::TestDatabase tdb;
    const UserStore store(tdb.db());
    for (auto _ : state) {
        state.PauseTiming();
        tdb.db().exec(QStringLiteral("DELETE FROM \"User\""));
        tdb.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ESKİ', 'düz metin')"));
        state.ResumeTiming();
        const auto result = store.signIn(QStringLiteral("ESKİ"), QStringLiteral("düz metin"));
        if (result.result != UserStore::CheckResult::SignedIn)
            state.SkipWithError("sign-in refused");
    }
}
BENCHMARK(SignInPlainTextRow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
