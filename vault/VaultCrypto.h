#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <initializer_list>

// The vault's cryptography, all of it done by libgcrypt. Failures of the
// library throw KladdoError.
namespace VaultCrypto {

// Key material in the library's secure memory, wiped when it goes.
class SecureBytes
{
public:
    explicit SecureBytes(qsizetype size = 0);
    SecureBytes(QByteArrayView bytes);
    SecureBytes(SecureBytes &&other) noexcept;
    SecureBytes &operator=(SecureBytes &&other) noexcept;
    SecureBytes(const SecureBytes &) = delete;
    SecureBytes &operator=(const SecureBytes &) = delete;
    ~SecureBytes();

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    qsizetype size() const { return m_size; }
    QByteArrayView view() const { return QByteArrayView(m_data, m_size); }

private:
    char *m_data = nullptr;
    qsizetype m_size = 0;
};

using Parts = std::initializer_list<QByteArrayView>;

SecureBytes sha256(Parts parts);
SecureBytes sha512(Parts parts);
QByteArray hmacSha256(QByteArrayView key, Parts parts);
QByteArray randomBytes(qsizetype size);

QByteArray aesCbcEncrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView plain);
// Throws when the padding is not whole.
QByteArray aesCbcDecrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView cipher);
QByteArray chaCha20(QByteArrayView key, QByteArrayView nonce, QByteArrayView data);

// The 32-byte key encrypted `rounds` times with AES-256 under `seed`, then hashed.
SecureBytes aesKdf(QByteArrayView key, QByteArrayView seed, quint64 rounds);

enum class Argon2Type { D, Id };
SecureBytes argon2(Argon2Type type, QByteArrayView password, QByteArrayView salt, quint64 iterations,
                   quint64 memoryKiB, quint32 parallelism);

// One ChaCha20 key stream applied to one value after the other.
class KeyStream
{
public:
    KeyStream(QByteArrayView key, QByteArrayView nonce);
    KeyStream(const KeyStream &) = delete;
    KeyStream &operator=(const KeyStream &) = delete;
    ~KeyStream();

    QByteArray apply(QByteArrayView data);

private:
    void *m_handle = nullptr;
};

} // namespace VaultCrypto
