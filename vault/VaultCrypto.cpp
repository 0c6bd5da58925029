#include "vault/VaultCrypto.h"

#include "platform/KladdoError.h"

#include <gcrypt.h>

#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

namespace VaultCrypto {

namespace {

void check(gcry_error_t error, const char *what)
{
    if (error)
        throw KladdoError(QStringLiteral("%1 failed: %2")
                              .arg(QLatin1String(what), QString::fromUtf8(gcry_strerror(error))));
}

void initialise()
{
    static const bool done = [] {
        if (!gcry_check_version(GCRYPT_VERSION))
            throw KladdoError(QStringLiteral("libgcrypt is older than the one the program was built with"));
        gcry_control(GCRYCTL_SUSPEND_SECMEM_WARN);
        // Grown rather than failing when many keys are held at once.
        gcry_control(GCRYCTL_AUTO_EXPAND_SECMEM, 1 << 16);
        gcry_control(GCRYCTL_INIT_SECMEM, 1 << 16, 0);
        gcry_control(GCRYCTL_RESUME_SECMEM_WARN);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    Q_UNUSED(done);
}

struct CipherCloser
{
    void operator()(gcry_cipher_hd_t handle) const { gcry_cipher_close(handle); }
};
using Cipher = std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, CipherCloser>;

Cipher openCipher(int algorithm, int mode, QByteArrayView key)
{
    initialise();
    gcry_cipher_hd_t handle = nullptr;
    check(gcry_cipher_open(&handle, algorithm, mode, GCRY_CIPHER_SECURE), "opening a cipher");
    Cipher cipher(handle);
    check(gcry_cipher_setkey(handle, key.data(), size_t(key.size())), "setting a cipher key");
    return cipher;
}

SecureBytes digest(int algorithm, Parts parts)
{
    initialise();
    gcry_md_hd_t handle = nullptr;
    check(gcry_md_open(&handle, algorithm, GCRY_MD_FLAG_SECURE), "opening a hash");
    for (const QByteArrayView part : parts)
        gcry_md_write(handle, part.data(), size_t(part.size()));
    SecureBytes result(qsizetype(gcry_md_get_algo_dlen(algorithm)));
    std::memcpy(result.data(), gcry_md_read(handle, algorithm), size_t(result.size()));
    gcry_md_close(handle);
    return result;
}

QByteArray run(gcry_cipher_hd_t handle, bool encrypt, QByteArrayView input)
{
    QByteArray output(input.size(), Qt::Uninitialized);
    const auto call = encrypt ? gcry_cipher_encrypt : gcry_cipher_decrypt;
    check(call(handle, output.data(), size_t(output.size()), input.data(), size_t(input.size())), "a cipher");
    return output;
}

// Argon2's lanes on threads of their own.
int dispatchJob(void *context, gcry_kdf_job_fn_t job, void *priv)
{
    static_cast<std::vector<std::thread> *>(context)->emplace_back(job, priv);
    return 0;
}

int waitForJobs(void *context)
{
    auto &threads = *static_cast<std::vector<std::thread> *>(context);
    for (std::thread &thread : threads)
        thread.join();
    threads.clear();
    return 0;
}

} // namespace

SecureBytes::SecureBytes(qsizetype size) : m_size(size)
{
    if (size == 0)
        return;
    initialise();
    m_data = static_cast<char *>(gcry_malloc_secure(size_t(size)));
    if (!m_data)
        throw KladdoError(QStringLiteral("no secure memory left for key material"));
}

SecureBytes::SecureBytes(QByteArrayView bytes) : SecureBytes(bytes.size())
{
    if (m_size)
        std::memcpy(m_data, bytes.data(), size_t(m_size));
}

SecureBytes::SecureBytes(SecureBytes &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{
}

SecureBytes &SecureBytes::operator=(SecureBytes &&other) noexcept
{
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    return *this;
}

SecureBytes::~SecureBytes()
{
    gcry_free(m_data); // secure memory is wiped as it is freed
}

SecureBytes sha256(Parts parts)
{
    return digest(GCRY_MD_SHA256, parts);
}

SecureBytes sha512(Parts parts)
{
    return digest(GCRY_MD_SHA512, parts);
}

QByteArray hmacSha256(QByteArrayView key, Parts parts)
{
    initialise();
    gcry_mac_hd_t handle = nullptr;
    check(gcry_mac_open(&handle, GCRY_MAC_HMAC_SHA256, GCRY_MAC_FLAG_SECURE, nullptr), "opening an HMAC");
    gcry_error_t error = gcry_mac_setkey(handle, key.data(), size_t(key.size()));
    for (const QByteArrayView part : parts) {
        if (!error)
            error = gcry_mac_write(handle, part.data(), size_t(part.size()));
    }
    QByteArray result(32, Qt::Uninitialized);
    size_t length = size_t(result.size());
    if (!error)
        error = gcry_mac_read(handle, result.data(), &length);
    gcry_mac_close(handle);
    check(error, "an HMAC");
    return result;
}

QByteArray randomBytes(qsizetype size)
{
    initialise();
    QByteArray bytes(size, Qt::Uninitialized);
    gcry_randomize(bytes.data(), size_t(size), GCRY_STRONG_RANDOM);
    return bytes;
}

QByteArray aesCbcEncrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView plain)
{
    const Cipher cipher = openCipher(GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_CBC, key);
    check(gcry_cipher_setiv(cipher.get(), iv.data(), size_t(iv.size())), "setting an IV");
    const int padding = 16 - int(plain.size() % 16);
    QByteArray padded = plain.toByteArray();
    padded.append(padding, char(padding));
    return run(cipher.get(), true, padded);
}

QByteArray aesCbcDecrypt(QByteArrayView key, QByteArrayView iv, QByteArrayView cipherText)
{
    if (cipherText.isEmpty() || cipherText.size() % 16 != 0)
        throw KladdoError(QStringLiteral("the encrypted content is not whole AES blocks"));
    const Cipher cipher = openCipher(GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_CBC, key);
    check(gcry_cipher_setiv(cipher.get(), iv.data(), size_t(iv.size())), "setting an IV");
    QByteArray plain = run(cipher.get(), false, cipherText);
    const int padding = quint8(plain.back());
    if (padding < 1 || padding > 16 || !plain.endsWith(QByteArray(padding, char(padding))))
        throw KladdoError(QStringLiteral("the encrypted content has a damaged end (padding)"));
    plain.chop(padding);
    return plain;
}

QByteArray chaCha20(QByteArrayView key, QByteArrayView nonce, QByteArrayView data)
{
    return KeyStream(key, nonce).apply(data);
}

SecureBytes aesKdf(QByteArrayView key, QByteArrayView seed, quint64 rounds)
{
    const Cipher cipher = openCipher(GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_ECB, seed);
    SecureBytes block(key);
    for (quint64 round = 0; round < rounds; ++round)
        check(gcry_cipher_encrypt(cipher.get(), block.data(), size_t(block.size()), nullptr, 0), "AES-KDF");
    return sha256({block.view()});
}

SecureBytes argon2(Argon2Type type, QByteArrayView password, QByteArrayView salt, quint64 iterations,
                   quint64 memoryKiB, quint32 parallelism)
{
    initialise();
    const unsigned long parameters[] = {32, (unsigned long)iterations, (unsigned long)memoryKiB, parallelism};
    gcry_kdf_hd_t handle = nullptr;
    check(gcry_kdf_open(&handle, GCRY_KDF_ARGON2, type == Argon2Type::D ? GCRY_KDF_ARGON2D : GCRY_KDF_ARGON2ID,
                        parameters, 4, password.data(), size_t(password.size()), salt.data(), size_t(salt.size()),
                        nullptr, 0, nullptr, 0),
          "Argon2");
    std::vector<std::thread> threads;
    const gcry_kdf_thread_ops_t operations{&threads, dispatchJob, waitForJobs};
    SecureBytes result(32);
    gcry_error_t error = gcry_kdf_compute(handle, &operations);
    if (!error)
        error = gcry_kdf_final(handle, size_t(result.size()), result.data());
    gcry_kdf_close(handle);
    check(error, "Argon2");
    return result;
}

KeyStream::KeyStream(QByteArrayView key, QByteArrayView nonce)
{
    Cipher cipher = openCipher(GCRY_CIPHER_CHACHA20, GCRY_CIPHER_MODE_STREAM, key);
    check(gcry_cipher_setiv(cipher.get(), nonce.data(), size_t(nonce.size())), "setting a nonce");
    m_handle = cipher.release();
}

KeyStream::~KeyStream()
{
    gcry_cipher_close(static_cast<gcry_cipher_hd_t>(m_handle));
}

QByteArray KeyStream::apply(QByteArrayView data)
{
    return run(static_cast<gcry_cipher_hd_t>(m_handle), true, data);
}

} // namespace VaultCrypto
