#include "vault/KdbxFile.h"

#include "platform/KladdoError.h"
#include "vault/Gzip.h"

#include <QtEndian>

using VaultCrypto::SecureBytes;

namespace KdbxFile {

namespace {

constexpr quint32 Signature1 = 0x9AA2D903;
constexpr quint32 Signature2 = 0xB54BFB67;
constexpr quint32 Version4 = 0x00040000;
constexpr qsizetype MaxHeaderField = 1 << 20;
constexpr qsizetype MaxPayload = qsizetype(256) << 20;
constexpr qsizetype BlockSize = 1 << 20;
constexpr quint32 ChaCha20StreamId = 3;

const QByteArray AesUuid = QByteArray::fromHex("31c1f2e6bf714350be5805216afc5aff");
const QByteArray ChaCha20Uuid = QByteArray::fromHex("d6038a2b8b6f4cb5a524339a31dbb59a");
const QByteArray HeaderEnd = QByteArray::fromHex("0d0a0d0a");

enum HeaderField : quint8 {
    EndOfHeader = 0, CipherId = 2, Compression = 3, MasterSeed = 4, EncryptionIv = 7, KdfParameters = 11,
    PublicCustomData = 12
};
enum InnerField : quint8 { EndOfInner = 0, StreamId = 1, StreamKey = 2, Binary = 3 };

[[noreturn]] void refuse(const QString &why)
{
    throw KladdoError(why);
}

[[noreturn]] void truncated()
{
    refuse(QStringLiteral("the vault file is cut short"));
}

template<typename T>
QByteArray littleEndian(T value)
{
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

class Reader
{
public:
    Reader(QByteArrayView bytes, qsizetype at = 0) : m_bytes(bytes), m_at(at) {}

    QByteArrayView take(qsizetype size)
    {
        if (size < 0 || size > m_bytes.size() - m_at)
            truncated();
        m_at += size;
        return m_bytes.sliced(m_at - size, size);
    }
    template<typename T>
    T number() { return qFromLittleEndian<T>(take(sizeof(T)).data()); }
    qsizetype at() const { return m_at; }

private:
    QByteArrayView m_bytes;
    qsizetype m_at;
};

struct OuterHeader
{
    quint32 minorVersion = 0;
    QByteArray cipher, seed, iv, kdf;
    bool compressed = false;
    std::optional<QByteArray> publicCustomData;
    QByteArrayView bytes; // as read, for the checks
};

// K of the header and block HMACs.
struct Keys
{
    SecureBytes cipherKey;
    SecureBytes hmacBase;
};

Keys keysFor(QByteArrayView seed, QByteArrayView transformedKey)
{
    return {VaultCrypto::sha256({seed, transformedKey}), VaultCrypto::sha512({seed, transformedKey, "\x01"})};
}

QByteArray blockHmac(const Keys &keys, quint64 index, QByteArrayView data)
{
    const QByteArray number = littleEndian(index);
    const SecureBytes key = VaultCrypto::sha512({number, keys.hmacBase.view()});
    return VaultCrypto::hmacSha256(key.view(), {number, littleEndian(qint32(data.size())), data});
}

QByteArray headerHmac(const Keys &keys, QByteArrayView header)
{
    const SecureBytes key = VaultCrypto::sha512({littleEndian(~quint64(0)), keys.hmacBase.view()});
    return VaultCrypto::hmacSha256(key.view(), {header});
}

bool matches(const QByteArray &expected, QByteArrayView found)
{
#ifdef KLADDO_FUZZ_BYPASS_CHECKS
    Q_UNUSED(expected);
    Q_UNUSED(found);
    return true;
#else
    return expected == found;
#endif
}

void checkVersion(Reader &reader, OuterHeader &header)
{
    if (reader.number<quint32>() != Signature1 || reader.number<quint32>() != Signature2)
        refuse(QStringLiteral("this is not a vault file (KDBX)"));
    const quint32 version = reader.number<quint32>();
    if ((version & 0xFFFF0000) == 0x00030000)
        refuse(QStringLiteral("the vault file is of the older KDBX 3 format, which cannot be read"));
    if ((version & 0xFFFF0000) != Version4 || (version & 0xFFFF) > 1)
        refuse(QStringLiteral("the vault file has the unknown version %1.%2")
                   .arg(version >> 16).arg(version & 0xFFFF));
    header.minorVersion = version & 0xFFFF;
}

void storeField(OuterHeader &header, quint8 id, const QByteArray &data)
{
    switch (id) {
    case CipherId: header.cipher = data; break;
    case MasterSeed: header.seed = data; break;
    case EncryptionIv: header.iv = data; break;
    case KdfParameters: header.kdf = data; break;
    case PublicCustomData:
        VariantDictionary::parse(data); // refused now rather than written back damaged
        header.publicCustomData = data;
        break;
    case Compression:
        if (data.size() != 4 || qFromLittleEndian<quint32>(data.constData()) > 1)
            refuse(QStringLiteral("the vault file's compression is unknown"));
        header.compressed = qFromLittleEndian<quint32>(data.constData()) == 1;
        break;
    default:
        if (id >= 5 && id <= 10)
            refuse(QStringLiteral("the vault file's header has the KDBX 3 field %1").arg(id));
        refuse(QStringLiteral("the vault file's header has the unknown field %1").arg(id));
    }
}

void checkHeader(const OuterHeader &header)
{
    if (header.cipher != AesUuid && header.cipher != ChaCha20Uuid)
        refuse(QStringLiteral("the vault file's cipher is unknown"));
    if (header.iv.size() != (header.cipher == AesUuid ? 16 : 12))
        refuse(QStringLiteral("the vault file's IV has the wrong length"));
    if (header.seed.size() != 32)
        refuse(QStringLiteral("the vault file's master seed has the wrong length"));
    if (header.kdf.isEmpty())
        refuse(QStringLiteral("the vault file's header has no key derivation parameters"));
}

OuterHeader readHeader(Reader &reader, QByteArrayView file)
{
    OuterHeader header;
    checkVersion(reader, header);
    for (;;) {
        const quint8 id = reader.number<quint8>();
        const quint32 length = reader.number<quint32>();
        if (length > MaxHeaderField)
            refuse(QStringLiteral("the vault file's header field %1 is too long").arg(id));
        const QByteArray data = reader.take(qsizetype(length)).toByteArray();
        if (id == EndOfHeader)
            break;
        storeField(header, id, data);
    }
    checkHeader(header);
    header.bytes = file.first(reader.at());
    return header;
}

QByteArray readBlocks(Reader &reader, const Keys &keys)
{
    QByteArray payload;
    for (quint64 index = 0;; ++index) {
        const QByteArrayView hmac = reader.take(32);
        const qint32 length = reader.number<qint32>();
        if (length < 0 || length > MaxPayload - payload.size())
            refuse(QStringLiteral("block %1 of the vault file has an impossible length").arg(index));
        const QByteArrayView data = reader.take(length);
        if (!matches(blockHmac(keys, index, data), hmac))
            refuse(QStringLiteral("block %1 of the vault file is damaged").arg(index));
        if (length == 0)
            return payload;
        payload += data;
    }
}

QByteArray decrypt(const OuterHeader &header, const Keys &keys, const QByteArray &payload)
{
    if (header.cipher == AesUuid)
        return VaultCrypto::aesCbcDecrypt(keys.cipherKey.view(), header.iv, payload);
    return VaultCrypto::chaCha20(keys.cipherKey.view(), header.iv, payload);
}

VaultCrypto::KeyStream protectedValueStream(QByteArrayView streamKey)
{
    const SecureBytes hash = VaultCrypto::sha512({streamKey});
    return VaultCrypto::KeyStream(hash.view().first(32), hash.view().sliced(32, 12));
}

void checkDocument(const XmlNode &document)
{
    if (document.name != QLatin1String("KeePassFile"))
        refuse(QStringLiteral("the vault's XML is not a KeePass file"));
    const XmlNode *root = document.child(QStringLiteral("Root"));
    if (!root)
        refuse(QStringLiteral("the vault's XML has no Root"));
    qsizetype groups = 0;
    for (const XmlNode &child : root->children)
        groups += child.name == QLatin1String("Group");
    if (groups != 1)
        refuse(QStringLiteral("the vault's XML has %1 top groups instead of one").arg(groups));
}

void readInner(const QByteArray &content, KdbxDatabase &database)
{
    Reader reader(content);
    std::optional<quint32> streamId;
    SecureBytes streamKey;
    for (;;) {
        const quint8 id = reader.number<quint8>();
        const QByteArrayView data = reader.take(qsizetype(reader.number<quint32>()));
        if (id == EndOfInner)
            break;
        if (id == StreamId && data.size() == 4)
            streamId = qFromLittleEndian<quint32>(data.data());
        else if (id == StreamKey)
            streamKey = SecureBytes(data);
        else if (id == Binary && !data.isEmpty())
            database.binaries.append(data.toByteArray());
        else
            refuse(QStringLiteral("the vault's inner header has a damaged field %1").arg(id));
    }
    if (streamId != ChaCha20StreamId)
        refuse(QStringLiteral("the vault's protected values use a cipher other than ChaCha20"));
    if (streamKey.size() == 0)
        refuse(QStringLiteral("the vault's inner header has no stream key"));
    VaultCrypto::KeyStream stream = protectedValueStream(streamKey.view());
    database.document = XmlTree::parse(content.sliced(reader.at()), stream);
    checkDocument(database.document);
}

// Decrypted content is wiped as soon as it has been parsed or encrypted.
class Wiped
{
public:
    explicit Wiped(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    Wiped(const Wiped &) = delete;
    Wiped &operator=(const Wiped &) = delete;
    ~Wiped() { m_bytes.fill('\0'); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

void appendField(QByteArray &out, quint8 id, QByteArrayView data)
{
    out.append(char(id)).append(littleEndian(quint32(data.size()))).append(data);
}

QByteArray outerHeader(const KdbxDatabase &database, const KdbxKey &key, const KdbxWriteOptions &options,
                       const QByteArray &seed, const QByteArray &iv)
{
    QByteArray header = littleEndian(Signature1) + littleEndian(Signature2)
                        + littleEndian(Version4 | database.minorVersion);
    appendField(header, CipherId, options.cipher == KdbxWriteOptions::Cipher::Aes256 ? AesUuid : ChaCha20Uuid);
    appendField(header, Compression, littleEndian(quint32(options.compress)));
    appendField(header, MasterSeed, seed);
    appendField(header, EncryptionIv, iv);
    appendField(header, KdfParameters, key.kdfParameters().serialise());
    if (database.publicCustomData)
        appendField(header, PublicCustomData, *database.publicCustomData);
    appendField(header, EndOfHeader, HeaderEnd);
    return header;
}

QByteArray innerContent(const KdbxDatabase &database)
{
    const QByteArray streamKey = VaultCrypto::randomBytes(64);
    QByteArray content;
    appendField(content, StreamId, littleEndian(ChaCha20StreamId));
    appendField(content, StreamKey, streamKey);
    for (const QByteArray &binary : database.binaries)
        appendField(content, Binary, binary);
    appendField(content, EndOfInner, {});
    VaultCrypto::KeyStream stream = protectedValueStream(streamKey);
    return content + XmlTree::write(database.document, stream);
}

void appendBlocks(QByteArray &out, const Keys &keys, const QByteArray &payload)
{
    quint64 index = 0;
    for (qsizetype at = 0; at < payload.size(); at += BlockSize, ++index) {
        const QByteArrayView data = QByteArrayView(payload).sliced(at, qMin(BlockSize, payload.size() - at));
        out.append(blockHmac(keys, index, data)).append(littleEndian(qint32(data.size()))).append(data);
    }
    out.append(blockHmac(keys, index, {})).append(littleEndian(qint32(0)));
}

// The header, once its SHA-256 matches.
OuterHeader readCheckedHeader(Reader &reader, QByteArrayView file)
{
    const OuterHeader header = readHeader(reader, file);
    const QByteArrayView hash = reader.take(32);
    if (!matches(VaultCrypto::sha256({header.bytes}).view().toByteArray(), hash))
        refuse(QStringLiteral("the vault file's header is damaged (its checksum does not match)"));
    return header;
}

// The database, once the header's HMAC shows that key opens it.
std::optional<KdbxDatabase> readWith(Reader &reader, const OuterHeader &header, QByteArrayView hmac,
                                     const KdbxKey &key)
{
    const Keys keys = keysFor(header.seed, key.transformedKey());
    if (!matches(headerHmac(keys, header.bytes), hmac))
        return std::nullopt;
    const Wiped decrypted(decrypt(header, keys, readBlocks(reader, keys)));
    KdbxDatabase database;
    database.minorVersion = header.minorVersion;
    database.publicCustomData = header.publicCustomData;
    if (header.compressed)
        readInner(Wiped(Gzip::decompress(decrypted.bytes(), MaxPayload)).bytes(), database);
    else
        readInner(decrypted.bytes(), database);
    return database;
}

} // namespace

Header inspect(const QByteArray &file)
{
    Reader reader(file);
    const OuterHeader header = readCheckedHeader(reader, file);
    VariantDictionary kdf = VariantDictionary::parse(header.kdf);
    return {header.minorVersion, header.cipher == AesUuid ? QStringLiteral("AES-256") : QStringLiteral("ChaCha20"),
            KdbxKey::describe(kdf), std::move(kdf)};
}

Opened read(const QByteArray &file, const QString &password)
{
    Reader reader(file);
    const OuterHeader header = readCheckedHeader(reader, file);
    const QByteArrayView hmac = reader.take(32);
    KdbxKey key = KdbxKey::derive(password, VariantDictionary::parse(header.kdf));
    std::optional<KdbxDatabase> database = readWith(reader, header, hmac, key);
    if (!database)
        refuse(QStringLiteral("wrong password or damaged header"));
    return {std::move(*database), std::move(key)};
}

std::optional<KdbxDatabase> read(const QByteArray &file, const KdbxKey &key)
{
    Reader reader(file);
    const OuterHeader header = readCheckedHeader(reader, file);
    const QByteArrayView hmac = reader.take(32);
    return readWith(reader, header, hmac, key);
}

QByteArray write(const KdbxDatabase &database, const KdbxKey &key, const KdbxWriteOptions &options)
{
    const bool aes = options.cipher == KdbxWriteOptions::Cipher::Aes256;
    const QByteArray seed = VaultCrypto::randomBytes(32);
    const QByteArray iv = VaultCrypto::randomBytes(aes ? 16 : 12);
    const Keys keys = keysFor(seed, key.transformedKey());
    const Wiped inner(innerContent(database));
    const Wiped plain(options.compress ? Gzip::compress(inner.bytes()) : QByteArray());
    const QByteArray &content = options.compress ? plain.bytes() : inner.bytes();
    const QByteArray encrypted = aes ? VaultCrypto::aesCbcEncrypt(keys.cipherKey.view(), iv, content)
                                     : VaultCrypto::chaCha20(keys.cipherKey.view(), iv, content);
    QByteArray file = outerHeader(database, key, options, seed, iv);
    const QByteArray hash = VaultCrypto::sha256({file}).view().toByteArray();
    const QByteArray hmac = headerHmac(keys, file);
    file.append(hash).append(hmac);
    appendBlocks(file, keys, encrypted);
    return file;
}

} // namespace KdbxFile
