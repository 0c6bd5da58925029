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

struct Argon2Settings
{
    QByteArray salt;
    quint64 memory = 0;
    quint64 iterations = 0;
    quint32 parallelism = 0;
};

Argon2Settings argon2Settings(const VariantDictionary &parameters)
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
    return {argon2Salt, memory, iterations, quint32(parallelism)};
}

SecureBytes runArgon2(VaultCrypto::Argon2Type type, QByteArrayView compositeKey,
                      const VariantDictionary &parameters)
{
    const Argon2Settings settings = argon2Settings(parameters);
#ifdef KLADDO_FUZZ_BYPASS_CHECKS
    Q_UNUSED(type);
    Q_UNUSED(settings);
    return SecureBytes(compositeKey);
#else
    return VaultCrypto::argon2(type, compositeKey, settings.salt, settings.iterations, settings.memory / 1024,
                               settings.parallelism);
#endif
}

quint64 aesRounds(const VariantDictionary &parameters)
{
    salt(parameters, 32, 32);
    const quint64 rounds = required(parameters, "R", VariantDictionary::UInt64);
    if (rounds > MaxAesRounds)
        refuse(QStringLiteral("%1 AES rounds").arg(rounds));
    return rounds;
}

SecureBytes runAesKdf(QByteArrayView compositeKey, const VariantDictionary &parameters)
{
    const quint64 rounds = aesRounds(parameters);
#ifdef KLADDO_FUZZ_BYPASS_CHECKS
    Q_UNUSED(rounds);
    return SecureBytes(compositeKey);
#else
    return VaultCrypto::aesKdf(compositeKey, parameters.bytes(QStringLiteral("S")).value_or(QByteArray()), rounds);
#endif
}

QByteArray kdfUuid(const VariantDictionary &parameters)
{
    return parameters.bytes(QStringLiteral("$UUID")).value_or(QByteArray());
}

[[noreturn]] void unknownKdf(const QByteArray &uuid)
{
    throw KladdoError(QStringLiteral("the key derivation %1 is unknown").arg(QString::fromLatin1(uuid.toHex())));
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
    const QByteArray uuid = kdfUuid(kdfParameters);
    const SecureBytes composite = compositeKey(password);
    if (uuid == Argon2dUuid || uuid == Argon2idUuid) {
        const auto type = uuid == Argon2dUuid ? VaultCrypto::Argon2Type::D : VaultCrypto::Argon2Type::Id;
        return KdbxKey(kdfParameters, runArgon2(type, composite.view(), kdfParameters));
    }
    if (uuid == AesKdfUuid || uuid == AesKdfOtherUuid)
        return KdbxKey(kdfParameters, runAesKdf(composite.view(), kdfParameters));
    unknownKdf(uuid);
}

QString KdbxKey::describe(const VariantDictionary &kdfParameters)
{
    const QByteArray uuid = kdfUuid(kdfParameters);
    if (uuid == Argon2dUuid || uuid == Argon2idUuid) {
        const Argon2Settings settings = argon2Settings(kdfParameters);
        return QStringLiteral("%1, %2 MiB, %3 iterations, %4 lanes")
            .arg(uuid == Argon2dUuid ? u"Argon2d" : u"Argon2id")
            .arg(settings.memory >> 20)
            .arg(settings.iterations)
            .arg(settings.parallelism);
    }
    if (uuid == AesKdfUuid || uuid == AesKdfOtherUuid)
        return QStringLiteral("AES-KDF, %1 rounds").arg(aesRounds(kdfParameters));
    unknownKdf(uuid);
}
