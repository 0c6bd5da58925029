#include "passwords/DesCipher.h"
#include "passwords/PassKey.h"

#include <QBuffer>
#include <QTest>

#include <algorithm>

namespace {

DesKey keyFrom(const QByteArray &bytes)
{
    DesKey key{};
    std::copy_n(bytes.constData(), key.size(), key.begin());
    return key;
}

DesBlock blockFrom(const QByteArray &bytes)
{
    DesBlock block{};
    std::copy_n(bytes.constData(), block.size(), block.begin());
    return block;
}

QByteArray bytesOf(const DesBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
}

QByteArray cipherBlock(const QByteArray &key, const QByteArray &block, DesDirection direction)
{
    DesBlock data = blockFrom(block);
    DesCipherBlock(InitDesKeySchedule(keyFrom(key), direction), data);
    return bytesOf(data);
}

QByteArray encipher(const QByteArray &text)
{
    return DesCipherString(text, PassKey, DesDirection::Encipher);
}

QByteArray decipher(const QByteArray &stored)
{
    return DesCipherString(stored, PassKey, DesDirection::Decipher);
}

QByteArray streamCipher(const QByteArray &input, QByteArray output, DesDirection direction)
{
    QByteArray in = input;
    QBuffer inBuffer(&in);
    QBuffer outBuffer(&output);
    inBuffer.open(QIODevice::ReadOnly);
    outBuffer.open(QIODevice::WriteOnly | QIODevice::Append);
    DesCipherStream(inBuffer, outBuffer, PassKey, direction);
    outBuffer.close();
    return output;
}

// The stored form of a final block whose count byte is `count`.
QByteArray storedFinalBlock(std::uint8_t count)
{
    DesBlock block{'a', 'b', 'c', 0, 0, 0, 0, count};
    DesCipherBlock(InitDesKeySchedule(PassKey, DesDirection::Encipher), block);
    return bytesOf(block).toBase64();
}

} // namespace

class TestDesCipher : public QObject
{
    Q_OBJECT

private slots:
    void knownAnswers_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        const auto row = [](const char *name, const char *key, const char *plain, const char *cipher) {
            QTest::newRow(name) << QByteArray::fromHex(key) << QByteArray::fromHex(plain)
                                << QByteArray::fromHex(cipher);
        };
        // The widely published worked example of a single block.
        row("worked example", "133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405");
        row("zero result", "0E329232EA6D0D73", "8787878787878787", "0000000000000000");
        // NBS Special Publication 500-20, variable plaintext known answer test.
        row("vp bit 1", "0101010101010101", "8000000000000000", "95F8A5E5DD31D900");
        row("vp bit 2", "0101010101010101", "4000000000000000", "DD7F121CA5015619");
        row("vp bit 3", "0101010101010101", "2000000000000000", "2E8653104F3834EA");
        row("vp bit 4", "0101010101010101", "1000000000000000", "4BD388FF6CD81D4F");
        row("vp bit 5", "0101010101010101", "0800000000000000", "20B9E767B2FB1456");
        row("vp bit 6", "0101010101010101", "0400000000000000", "55579380D77138EF");
        row("vp bit 7", "0101010101010101", "0200000000000000", "6CC5DEFAAF04512F");
        row("vp bit 8", "0101010101010101", "0100000000000000", "0D9F279BA5D87260");
        row("vp bit 64", "0101010101010101", "0000000000000001", "166B40B44ABA4BD6");
        // Same publication, variable key known answer test.
        row("vk bit 1", "8001010101010101", "0000000000000000", "95A8D72813DAA94D");
        row("vk bit 2", "4001010101010101", "0000000000000000", "0EEC1487DD8C26D5");
        row("vk bit 3", "2001010101010101", "0000000000000000", "7AD16FFB79C45926");
        row("vk bit 4", "1001010101010101", "0000000000000000", "D3746294CA6A6CF3");
        row("vk bit 5", "0801010101010101", "0000000000000000", "809F5F873C1FD761");
        row("vk bit 6", "0401010101010101", "0000000000000000", "C02FAFFEC989D1FC");
        row("vk bit 7", "0201010101010101", "0000000000000000", "4615AA1D33E72F10");
        row("vk bit 9", "0180010101010101", "0000000000000000", "2055123350C00858");
        // Same publication, permutation operation test and S-box test.
        row("permutation", "10316E028C8F3B4A", "0000000000000000", "82DCBAFBDEAB6602");
        row("sbox 1", "7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B");
        row("sbox 2", "0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271");
        row("sbox 3", "07A1133E4A0B2686", "0248D43806F67172", "868EBB51CAB4599A");
        row("sbox 4", "3849674C2602319E", "51454B582DDF440A", "7178876E01F19B2A");
        row("sbox 5", "04B915BA43FEB5B6", "42FD443059577FA2", "AF37FB421F8C4095");
        row("sbox 6", "0113B970FD34F2CE", "059B5E0851CF143A", "86A560F10EC6D85B");
        row("sbox 7", "0170F175468FB5E6", "0756D8E0774761D2", "0CD3DA020021DC09");
        row("sbox 8", "43297FAD38E373FE", "762514B829BF486A", "EA676B2CB7DB2B7A");
        row("sbox 9", "07A7137045DA2A16", "3BDD119049372802", "DFD64A815CAF1A0F");
        // FIPS 81, electronic codebook example ("Now is the time for all ").
        row("fips81 block 1", "0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815");
        row("fips81 block 2", "0123456789ABCDEF", "68652074696D6520", "6A271787AB8883F9");
        row("fips81 block 3", "0123456789ABCDEF", "666F7220616C6C20", "893D51EC4B563B53");
        // The worked example's key with its parity bits (the low bit of each
        // byte) cleared, set and mixed: they take no part.
        row("parity cleared", "123456789ABCDEF0", "0123456789ABCDEF", "85E813540F0AB405");
        row("parity set", "133557799BBDDFF1", "0123456789ABCDEF", "85E813540F0AB405");
        row("parity mixed", "123557789BBCDEF1", "0123456789ABCDEF", "85E813540F0AB405");
        // Every bit of the key set, and none.
        row("all key bits", "FEFEFEFEFEFEFEFE", "0123456789ABCDEF", "6DCE0DC9006556A3");
        row("no key bits", "0101010101010101", "0000000000000000", "8CA64DE9C1B123A7");
    }

    void knownAnswers()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        QCOMPARE(cipherBlock(key, plain, DesDirection::Encipher).toHex(), cipher.toHex());
        QCOMPARE(cipherBlock(key, cipher, DesDirection::Decipher).toHex(), plain.toHex());
    }

    void storedLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("stored");
        QTest::newRow("empty") << 0 << 12;
        QTest::newRow("7") << 7 << 12;
        QTest::newRow("8") << 8 << 24;
        QTest::newRow("15") << 15 << 24;
        QTest::newRow("16") << 16 << 32;
        QTest::newRow("183") << 183 << 248;
        QTest::newRow("184") << 184 << 256;
        QTest::newRow("255") << 255 << 344;
    }

    void storedLength()
    {
        QFETCH(int, length);
        QFETCH(int, stored);
        QByteArray text(length, '\0');
        for (int i = 0; i < length; ++i)
            text[i] = char(i * 37 + 11);
        const QByteArray form = encipher(text);
        QCOMPARE(form.size(), stored);
        QCOMPARE(QByteArray::fromBase64(form).size(), (length / 8 + 1) * 8);
        QCOMPARE(decipher(form), text);
    }

    // Stored forms under PassKey: pages on disk rely on them never changing
    // (so the same text always gives the same form). Computed with an
    // independent DES implementation.
    void passKeyStoredForms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("empty") << QByteArray() << QByteArray("6Q6FeRmtFGI=");
        QTest::newRow("Geheim") << QByteArray("Geheim") << QByteArray("yez7n5ahSOk=");
        QTest::newRow("one whole block")
            << QByteArray("Kennwort") << QByteArray("rjYQ6MaTy+/pDoV5Ga0UYg==");
        QTest::newRow("Windows-1252 letters")
            << QByteArray("K\xe4se\xdf\x80") << QByteArray("sAi0vSbEV3Q=");
    }

    void passKeyStoredForms()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stored);
        QCOMPARE(encipher(text), stored);
        QCOMPARE(decipher(stored), text);
    }

    void equalPlainBlocksGiveEqualCipherBlocks()
    {
        const QByteArray cipher = QByteArray::fromBase64(encipher("12345678abcdefgh12345678"));
        QCOMPARE(cipher.size(), 32);
        QCOMPARE(cipher.mid(0, 8).toHex(), cipher.mid(16, 8).toHex());
        QVERIFY(cipher.mid(0, 8) != cipher.mid(8, 8));
    }

    void extraGroupChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        // The enciphered lengths 16, 8 and 24 end in "==", "=" and no padding.
        QTest::newRow("two pad characters") << QByteArray("Kennwort12345");
        QTest::newRow("one pad character") << QByteArray("abc");
        QTest::newRow("no padding") << QByteArray("0123456789abcdefXY");
    }

    void extraGroupChangesNothing()
    {
        QFETCH(QByteArray, text);
        QCOMPARE(decipher(encipher(text) + "QUJD"), text);
    }

    void decipherFailures_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("cipherError"); // ECipherException, else the base error
        QTest::addColumn<QString>("message");
        const QString format = QStringLiteral("Invalid file format");
        const QString base64 = QStringLiteral("Invalid Base64 Character");
        QTest::newRow("empty") << QByteArray() << true << format;
        QTest::newRow("less than a block") << QByteArray("QUJDREVG") << true << format;
        QTest::newRow("count byte 8") << storedFinalBlock(8) << true << format;
        QTest::newRow("count byte 255") << storedFinalBlock(255) << true << format;
        // Which characters the decoder refuses is tested with it; here only
        // that its error passes through as the base error.
        QTest::newRow("line break") << QByteArray("6Q6FeRmt\nFGI=") << false << base64;
        QTest::newRow("length not four") << QByteArray("6Q6FeRmtFGI") << false << base64;
    }

    void decipherFailures()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, cipherError);
        QFETCH(QString, message);
        try {
            decipher(stored);
            QFAIL("deciphering should have failed");
        } catch (const ECipherException &error) {
            QVERIFY2(cipherError, "a cipher error where a Base64 error was due");
            QCOMPARE(error.message(), message);
        } catch (const KladdoError &error) {
            QVERIFY2(!cipherError, "a Base64 error where a cipher error was due");
            QCOMPARE(error.message(), message);
        }
    }

    void countBytesUpToSevenDecipher()
    {
        QCOMPARE(decipher(storedFinalBlock(7)), QByteArray("abc\0\0\0\0", 7));
        QCOMPARE(decipher(storedFinalBlock(0)), QByteArray());
    }

    void streamAppendsToOutput()
    {
        const QByteArray enciphered = streamCipher("plain text", "head", DesDirection::Encipher);
        QCOMPARE(enciphered.size(), 4 + 16);
        QVERIFY(enciphered.startsWith("head"));
        const QByteArray deciphered = streamCipher(enciphered.mid(4), "x", DesDirection::Decipher);
        QCOMPARE(deciphered, QByteArray("xplain text"));
    }

    void bytesAfterLastWholeBlockAreIgnored()
    {
        const QByteArray enciphered = streamCipher("12345678abc", {}, DesDirection::Encipher);
        QCOMPARE(streamCipher(enciphered + "1234567", {}, DesDirection::Decipher),
                 QByteArray("12345678abc"));
    }
};

QTEST_GUILESS_MAIN(TestDesCipher)
#include "tst_DesCipher.moc"
