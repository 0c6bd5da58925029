#pragma once

#include "vault/VaultPages.h"

// Pages of distinct rows, with letters beyond ASCII, some rows left empty.
inline VaultPageSet sampleVaultPages()
{
    VaultPageSet pages;
    for (int page = 0; page < VaultPageCount; ++page) {
        for (int row = 0; row < VaultRowCount; row += 1 + page % 3)
            pages[page][row] = {QStringLiteral("Konto %1.%2 \u00e4\u20ac").arg(page).arg(row),
                                QStringLiteral("user%1").arg(row),
                                QStringLiteral("pw<%1&%2>\u00df").arg(page).arg(row)};
    }
    return pages;
}

// Argon2id at its cheapest, so that tests run fast.
inline KdbxKey fastVaultKey(const QString &password)
{
    return KdbxKey::create(password, {1 << 20, 1, 1});
}
