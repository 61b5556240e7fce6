// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/passwordhash.h"

#include <sodium.h>

namespace zelvora::passwords {

namespace {

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString hash(const QString& password)
{
    if (!sodiumReady())
        return {};
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {}; // out of memory
    return QString::fromLatin1(out);
}

bool isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

bool matches(const QString& stored, const QString& typed)
{
    if (!isHash(stored))
        return stored == typed;
    if (!sodiumReady())
        return false;
    const QByteArray hashText = stored.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(hashText.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size()))
        == 0;
}

} // namespace zelvora::passwords
