#include "vault/KdbxKey.h"

#include "platform/KladdoError.h"
#include "platform/PhysicalMemory.h"

#include <QElapsedTimer>
#include <QThread>

#include <cmath>

using VaultCrypto::SecureBytes;

namespace {

const QByteArray Argon2dUuid = QByteArray::fromHex("ef636ddf8c29444b91f7a9a403e30a0c");
const QByteArray Argon2idUuid = QByteArray::fromHex("9e298b1956db4773b23dfc3ec6f0a1e6");
const QByteArray AesKdfUuid = QByteArray::fromHex("c9d9f39a628a4460bf740d08c18a4fea");
const QByteArray AesKdfOtherUuid = QByteArray::fromHex("7c02bb8279a74ac0927d114a00648238");

constexpr quint64 MaxMemory = quint64(4) << 30;
constexpr quint64 MaxArgon2Iterations = 1000;
constexpr quint64 MaxAesRounds = quint64(1) << 31;
constexpr quint32 Argon2Version = 0x13;

[[noreturn]] void refuse(const QString &why)
{
    throw KladdoError(QStringLiteral("the key derivation parameters are not usable: %1").arg(why));
}

quint64 required(const VariantDictionary &parameters, const char *name, VariantDictionary::Type type)
{
    const std::optional<quint64> value = parameters.unsignedValue(QLatin1String(name), type);
    if (!value)
        refuse(QStringLiteral("%1 is missing").arg(QLatin1String(name)));
    return *value;
}

QByteArray salt(const VariantDictionary &parameters, qsizetype minimum, qsizetype maximum)
{
    const QByteArray salt = parameters.bytes(QStringLiteral("S")).value_or(QByteArray());
    if (salt.size() < minimum || salt.size() > maximum)
        refuse(QStringLiteral("the salt has %1 bytes").arg(salt.size()));
    return salt;
}

SecureBytes runArgon2(VaultCrypto::Argon2Type type, QByteArrayView compositeKey,
                      const VariantDictionary &parameters)
{
    const QByteArray argon2Salt = salt(parameters, 8, 32);
    const quint64 memory = required(parameters, "M", VariantDictionary::UInt64);
    const quint64 iterations = required(parameters, "I", VariantDictionary::UInt64);
    const quint64 parallelism = required(parameters, "P", VariantDictionary::UInt32);
    const quint64 physical = PhysicalMemory::bytes();
    if (memory > MaxMemory || (physical && memory > physical))
        refuse(QStringLiteral("%1 MiB of memory is more than this computer can give").arg(memory >> 20));
    if (memory % 1024 != 0 || memory / 1024 < 8 * parallelism)
        refuse(QStringLiteral("%1 bytes of memory do not fit Argon2").arg(memory));
    if (iterations == 0 || iterations > MaxArgon2Iterations)
        refuse(QStringLiteral("%1 iterations").arg(iterations));
    if (parallelism == 0 || parallelism > 64)
        refuse(QStringLiteral("a parallelism of %1").arg(parallelism));
    if (required(parameters, "V", VariantDictionary::UInt32) != Argon2Version)
        refuse(QStringLiteral("the Argon2 version is not 0x13"));
#ifdef KLADDO_FUZZ_BYPASS_CHECKS
    Q_UNUSED(type);
    Q_UNUSED(argon2Salt);
    return SecureBytes(compositeKey);
#else
    return VaultCrypto::argon2(type, compositeKey, argon2Salt, iterations, memory / 1024, quint32(parallelism));
#endif
}

SecureBytes runAesKdf(QByteArrayView compositeKey, const VariantDictionary &parameters)
{
    const QByteArray seed = salt(parameters, 32, 32);
    const quint64 rounds = required(parameters, "R", VariantDictionary::UInt64);
    if (rounds > MaxAesRounds)
        refuse(QStringLiteral("%1 AES rounds").arg(rounds));
#ifdef KLADDO_FUZZ_BYPASS_CHECKS
    Q_UNUSED(seed);
    return SecureBytes(compositeKey);
#else
    return VaultCrypto::aesKdf(compositeKey, seed, rounds);
#endif
}

SecureBytes compositeKey(const QString &password)
{
    QByteArray utf8 = password.toUtf8();
    SecureBytes key = VaultCrypto::sha256({VaultCrypto::sha256({utf8}).view()});
    utf8.fill('\0');
    return key;
}

VariantDictionary argon2idParameters(const Argon2Parameters &parameters)
{
    VariantDictionary dictionary;
    dictionary.setBytes(QStringLiteral("$UUID"), Argon2idUuid);
    dictionary.setBytes(QStringLiteral("S"), VaultCrypto::randomBytes(32));
    dictionary.setUnsigned(QStringLiteral("P"), VariantDictionary::UInt32, parameters.parallelism);
    dictionary.setUnsigned(QStringLiteral("M"), VariantDictionary::UInt64, parameters.memoryBytes);
    dictionary.setUnsigned(QStringLiteral("I"), VariantDictionary::UInt64, parameters.iterations);
    dictionary.setUnsigned(QStringLiteral("V"), VariantDictionary::UInt32, Argon2Version);
    return dictionary;
}

} // namespace

Argon2Parameters calibratedArgon2(std::chrono::milliseconds target)
{
    Argon2Parameters parameters;
    parameters.parallelism = quint32(qBound(2, QThread::idealThreadCount(), 4));
    // Doubled until a run is long enough that allocating the memory no
    // longer dominates it.
    for (;;) {
        QElapsedTimer timer;
        timer.start();
        KdbxKey::create(QString(), parameters);
        const qint64 elapsed = qMax<qint64>(1, timer.elapsed());
        if (elapsed * 4 >= target.count() || parameters.iterations >= MaxArgon2Iterations / 2) {
            const double scaled = double(parameters.iterations) * double(target.count()) / double(elapsed);
            parameters.iterations = quint64(qBound(1.0, std::round(scaled), double(MaxArgon2Iterations)));
            return parameters;
        }
        parameters.iterations *= 2;
    }
}

KdbxKey::KdbxKey(VariantDictionary kdfParameters, SecureBytes transformedKey)
    : m_kdfParameters(std::move(kdfParameters)), m_transformedKey(std::move(transformedKey))
{
}

KdbxKey KdbxKey::create(const QString &password, const Argon2Parameters &parameters)
{
    return derive(password, argon2idParameters(parameters));
}

KdbxKey KdbxKey::derive(const QString &password, const VariantDictionary &kdfParameters)
{
    const QByteArray uuid = kdfParameters.bytes(QStringLiteral("$UUID")).value_or(QByteArray());
    const SecureBytes composite = compositeKey(password);
    if (uuid == Argon2dUuid || uuid == Argon2idUuid) {
        const auto type = uuid == Argon2dUuid ? VaultCrypto::Argon2Type::D : VaultCrypto::Argon2Type::Id;
        return KdbxKey(kdfParameters, runArgon2(type, composite.view(), kdfParameters));
    }
    if (uuid == AesKdfUuid || uuid == AesKdfOtherUuid)
        return KdbxKey(kdfParameters, runAesKdf(composite.view(), kdfParameters));
    throw KladdoError(QStringLiteral("the key derivation %1 is unknown").arg(QString::fromLatin1(uuid.toHex())));
}
