#pragma once

#include "vault/VariantDictionary.h"
#include "vault/VaultCrypto.h"

#include <QString>

#include <chrono>

struct Argon2Parameters
{
    quint64 memoryBytes = 64 << 20;
    quint64 iterations = 1;
    quint32 parallelism = 2;
};

// Argon2id with 64 MiB on up to four lanes, with as many iterations as take
// about `target` here.
Argon2Parameters calibratedArgon2(std::chrono::milliseconds target = std::chrono::seconds(1));

// The key of one vault: its KDF parameters and the transformed key they
// give for the password. Derived once when the vault is opened, it serves
// every save after that.
class KdbxKey
{
public:
    // A new key, with a fresh salt, for a new vault.
    static KdbxKey create(const QString &password, const Argon2Parameters &parameters);
    // The key for the parameters of a file read; throws KladdoError for
    // unknown or absurd ones, before any work is done.
    static KdbxKey derive(const QString &password, const VariantDictionary &kdfParameters);
    // The derivation the parameters ask for, "Argon2id, 64 MiB, 10 iterations,
    // 2 lanes"; throws as derive does, without the work.
    static QString describe(const VariantDictionary &kdfParameters);

    const VariantDictionary &kdfParameters() const { return m_kdfParameters; }
    QByteArrayView transformedKey() const { return m_transformedKey.view(); }

private:
    KdbxKey(VariantDictionary kdfParameters, VaultCrypto::SecureBytes transformedKey);

    VariantDictionary m_kdfParameters;
    VaultCrypto::SecureBytes m_transformedKey;
};
