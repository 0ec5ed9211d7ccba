// The command packet's checksum and scrambling. Known-answer vectors catch a
// scrambler whose steps are consistently wrong in both directions, which a
// round trip alone would miss.
#include "hid_thread.h"
#include "packetcodec.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>

using Bytes = std::array<uint8_t, 8>;
Q_DECLARE_METATYPE(Bytes)

class tst_PacketCodec : public QObject
{
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void scrambleKnownAnswers_data();
    void scrambleKnownAnswers();
    void roundTripRandomPacketsAndCodes();
    void codeBytesZeroAndSevenNeverMatter();
    void linkSlotsUseTheCodec();
    void packetLayouts();
};

void tst_PacketCodec::checksum_data()
{
    QTest::addColumn<Bytes>("packet");
    QTest::addColumn<int>("expected");
    QTest::newRow("set profile 2") << Bytes{0x21, 0x02, 0x00, 0x00, 0x00, 0x55, 0xAA, 0x00} << 0xDD;
    QTest::newRow("firmware version") << Bytes{0x80, 0x00, 0x00, 0x00, 0x00, 0x55, 0xAA, 0x00} << 0x80;
    QTest::newRow("all zero") << Bytes{} << 0xFF;
    QTest::newRow("boot loader status query") << Bytes{0x8F, 0, 0, 0, 0, 0, 0, 0} << 0x70;
    // Byte 7 is not part of the sum.
    QTest::newRow("byte 7 ignored") << Bytes{0x80, 0x00, 0x00, 0x00, 0x00, 0x55, 0xAA, 0x33} << 0x80;
}

void tst_PacketCodec::checksum()
{
    QFETCH(Bytes, packet);
    QFETCH(int, expected);
    QCOMPARE(int(packet::checksum(packet.data())), expected);
}

void tst_PacketCodec::scrambleKnownAnswers_data()
{
    QTest::addColumn<Bytes>("plain");
    QTest::addColumn<Bytes>("code");
    QTest::addColumn<Bytes>("scrambled");
    // Zero packet, zero code: only the nibble-swapped key remains.
    QTest::newRow("zero") << Bytes{} << Bytes{} << Bytes{0x45, 0x16, 0x65, 0xB6, 0xF6, 0xD4, 0x96, 0x17};
    // 0x80 in byte 0 moves to byte 5 and rotates 3 bits into byte 4.
    QTest::newRow("byte 0 travels") << Bytes{0x80, 0, 0, 0, 0, 0, 0, 0} << Bytes{}
                                    << Bytes{0x45, 0x16, 0x65, 0xB6, 0xFA, 0xD4, 0x96, 0x17};
    // Byte 5 lands in byte 0, whose top bits rotate around into byte 7.
    QTest::newRow("wrap around") << Bytes{0, 0, 0, 0, 0, 0xE0, 0, 0} << Bytes{}
                                 << Bytes{0x45, 0x16, 0x65, 0xB6, 0xF6, 0xD4, 0x96, 0x1E};
    // Code byte 1 lands on packet byte 1 after the exchange, then rotates.
    QTest::newRow("code byte 1") << Bytes{} << Bytes{0, 0x01, 0, 0, 0, 0, 0, 0}
                                 << Bytes{0x45, 0x1E, 0x65, 0xB6, 0xF6, 0xD4, 0x96, 0x17};
}

void tst_PacketCodec::scrambleKnownAnswers()
{
    QFETCH(Bytes, plain);
    QFETCH(Bytes, code);
    QFETCH(Bytes, scrambled);
    Bytes p = plain;
    packet::scramble(p.data(), code.data());
    QCOMPARE(p, scrambled);
    packet::unscramble(p.data(), code.data());
    QCOMPARE(p, plain);
}

void tst_PacketCodec::roundTripRandomPacketsAndCodes()
{
    QRandomGenerator rng(20261208);
    for (int i = 0; i < 20000; ++i) {
        Bytes plain, code;
        for (auto &b : plain)
            b = static_cast<uint8_t>(rng.bounded(256));
        for (auto &b : code)
            b = static_cast<uint8_t>(rng.bounded(256));
        Bytes p = plain;
        packet::scramble(p.data(), code.data());
        packet::unscramble(p.data(), code.data());
        QVERIFY2(p == plain, qPrintable(QString("round trip %1").arg(i)));
    }
}

void tst_PacketCodec::codeBytesZeroAndSevenNeverMatter()
{
    QRandomGenerator rng(7);
    for (int i = 0; i < 2000; ++i) {
        Bytes plain, code;
        for (auto &b : plain)
            b = static_cast<uint8_t>(rng.bounded(256));
        for (auto &b : code)
            b = static_cast<uint8_t>(rng.bounded(256));
        Bytes other = code;
        other[0] = static_cast<uint8_t>(~code[0]);
        other[7] = static_cast<uint8_t>(code[7] + 1);
        Bytes a = plain, b = plain;
        packet::scramble(a.data(), code.data());
        packet::scramble(b.data(), other.data());
        QCOMPARE(a, b);
    }
}

void tst_PacketCodec::linkSlotsUseTheCodec()
{
    Hid_Thread link;
    uchar cmd[8] = {0x21, 0x02, 0x00, 0x00, 0x00, 0x55, 0xAA, 0x00};
    QCOMPARE(int(link.hidCS(cmd)), 0xDD);

    uchar code[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    uchar p[8] = {0x88, 1, 2, 3, 4, 5, 6, 0};
    Bytes viaCodec{0x88, 1, 2, 3, 4, 5, 6, 0};
    link.USBDataEncryption(p, code);
    packet::scramble(viaCodec.data(), code);
    QVERIFY(std::equal(viaCodec.begin(), viaCodec.end(), p));
    link.USBDataDecipher(p, code);
    QCOMPARE(int(p[0]), 0x88);
    QCOMPARE(int(p[6]), 6);
}

void tst_PacketCodec::packetLayouts()
{
    QCOMPARE(packet::make(0x10, 0x00, 5), (packet::Packet{0x10, 0x00, 0x05, 0x00, 0x00, 0x55, 0xAA, 0x00}));
    const packet::Packet boot = packet::makeBootLoader();
    QCOMPARE(int(boot[0]), 0x0F);
    QVERIFY(std::equal(packet::kBootLoaderEntryCode.begin(), packet::kBootLoaderEntryCode.end(),
                       boot.begin() + 1));
}

QTEST_GUILESS_MAIN(tst_PacketCodec)
#include "tst_packetcodec.moc"
