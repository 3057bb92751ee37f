#include "app/crc32.h"
#include "dup/crc32calc.h"
#include "platform/filemapping.h"
#include "support/sandbox.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using platform::EFileMappingError;
using platform::TFileMapping;

namespace {

// Bit by bit, straight from the polynomial: the reference the table-driven routine must match.
quint32 referenceCrc(const QByteArray& data) {
    quint32 reg = 0xFFFFFFFFu;
    for (char c : data) {
        reg ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return reg ^ 0xFFFFFFFFu;
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char& c : out)
        c = char(gen.bounded(256));
    return out;
}

// Expects a failed calculation with exactly the given message.
void expectFailure(const Result<quint32>& result, const char* message) {
    EXPECT_FALSE(result.ok()) << "computed " << result.valueOr(0) << ", expected: " << message;
    EXPECT_EQ(result.message(), QLatin1String(message));
}

// Runs f and expects it to raise E with exactly the given message.
template <class E, class F> void expectRaises(F f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "nothing raised, expected: " << message;
    } catch (const E& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

constexpr const char* kInvalid = "Invalid parameters. Could not create file mapping object";
constexpr const char* kNoMapping = "Could not create file mapping object";
constexpr const char* kNotMapped = "Could not map file";

class Crc32CalcTest : public ::testing::Test {
protected:
    // A file of the world, open for reading.
    std::unique_ptr<QFile> open(const QString& name, const QByteArray& content) {
        auto file = std::make_unique<QFile>(world.makeFile(name, content));
        EXPECT_TRUE(file->open(QIODevice::ReadOnly));
        return file;
    }

    SandboxWorld world;
    TCRC32Calc calc;
};

} // namespace

TEST(Crc32Routine, MatchesTheBitwiseChecksumAtEveryLengthAndAlignment) {
    EXPECT_EQ(crc32::checksum(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32::update(0xFFFFFFFFu, "123456789", 9) ^ 0xFFFFFFFFu, 0xCBF43926u);
    EXPECT_EQ(crc32::checksum(0, "\0", 1), 0xD202EF8Du);

    // Lengths and start offsets around the eight-byte steps of the fast path.
    const QByteArray data = randomBytes(300, 7);
    for (int start = 0; start < 9; ++start) {
        for (int length : {0, 1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 255}) {
            const QByteArray piece = data.mid(start, length);
            EXPECT_EQ(crc32::checksum(0, piece.constData(), piece.size()), referenceCrc(piece))
                << "start " << start << " length " << length;
        }
    }

    // Fed in pieces it gives the same as fed at once.
    const quint32 whole = crc32::checksum(0, data.constData(), data.size());
    for (int cut : {1, 5, 8, 13, 150, 299}) {
        const quint32 first = crc32::checksum(0, data.constData(), cut);
        EXPECT_EQ(crc32::checksum(first, data.constData() + cut, data.size() - cut), whole);
    }
}

TEST(Crc32Routine, NoBytesLeaveTheRegisterAlone) {
    EXPECT_EQ(TCRC32Calc::checksumUpdate(0x12345678u, "abc", 0), 0x12345678u);
    EXPECT_EQ(TCRC32Calc::checksumUpdate(0x12345678u, nullptr, 5), 0x12345678u);
    EXPECT_EQ(TCRC32Calc::checksumUpdate(0x12345678u, "abc", -1), 0x12345678u);
    EXPECT_EQ(crc32::checksum(0xCBF43926u, nullptr, 0), 0xCBF43926u);
}

TEST_F(Crc32CalcTest, ChecksumOfWholeFilesDependsOnTheirContentsOnly) {
    EXPECT_EQ(calc.calculate(open("check.txt", "123456789").get()).valueOr(0), 0xCBF43926u);
    EXPECT_EQ(calc.calculate(open("zero.bin", QByteArray(1, '\0')).get()).valueOr(0), 0xD202EF8Du);

    const QByteArray content = randomBytes(5000, 11);
    auto a = open("one/a.dat", content);
    auto b = open("two/other name.txt", content);
    b->setFileTime(QDateTime::currentDateTime().addYears(-3), QFileDevice::FileModificationTime);
    b->setPermissions(QFileDevice::ReadOwner);
    b->seek(1234); // the position of the stream does not matter
    QByteArray changed = content;
    changed[4321] = char(changed[4321] ^ 0x01);
    auto c = open("three/a.dat", changed);

    const Result<quint32> crcA = calc.calculate(a.get());
    ASSERT_TRUE(crcA.ok()) << crcA.message().toStdString();
    EXPECT_EQ(crcA.value(), referenceCrc(content));
    EXPECT_EQ(calc.calculate(b.get()).valueOr(0), crcA.value());
    const Result<quint32> crcC = calc.calculate(c.get());
    ASSERT_TRUE(crcC.ok());
    EXPECT_NE(crcC.value(), crcA.value());
    EXPECT_FALSE(calc.busy());
}

TEST_F(Crc32CalcTest, LargeFileRunsInBlocksWithProgressBetween) {
    // Two whole blocks and a tail that is not a multiple of eight.
    const QByteArray content = randomBytes(2 * TCRC32Calc::kBlock + 12345, 3);
    auto file = open("big.bin", content);
    auto small = open("small.bin", "123456789");
    QList<qint64> reported;
    calc.setProgress([&](qint64 done, qint64 size) {
        reported.append(done);
        EXPECT_EQ(size, content.size());
        EXPECT_TRUE(calc.busy());
        // A second calculation while one runs is refused; the running one goes on.
        expectFailure(calc.calculate(small.get()), "CRC Calc is Busy");
        return true;
    });
    EXPECT_EQ(calc.calculate(file.get()).valueOr(0),
              crc32::checksum(0, content.constData(), content.size()));
    EXPECT_EQ(reported, (QList<qint64>{TCRC32Calc::kBlock, 2 * TCRC32Calc::kBlock}));
    EXPECT_FALSE(calc.busy());

    calc.setProgress(nullptr);
    EXPECT_EQ(calc.calculate(small.get()).valueOr(0), 0xCBF43926u);
}

TEST_F(Crc32CalcTest, FailuresLeaveTheCalculatorFree) {
    auto empty = open("empty.txt", QByteArray());
    expectFailure(calc.calculate(empty.get()), kNoMapping);
    EXPECT_FALSE(calc.busy());

    expectFailure(calc.calculate(nullptr), kInvalid);
    QFile closed(world.makeFile("closed.txt", "abc"));
    expectFailure(calc.calculate(&closed), kInvalid);
    EXPECT_FALSE(calc.busy());

    // Progress that says stop ends the calculation after the block it follows, and the
    // calculator is free again.
    auto big = open("big.bin", QByteArray(3 * TCRC32Calc::kBlock, 'x'));
    int calls = 0;
    calc.setProgress([&](qint64, qint64) { return ++calls < 2; });
    expectFailure(calc.calculate(big.get()), "CRC calculation stopped");
    EXPECT_EQ(TCRC32Calc::stoppedMessage(), "CRC calculation stopped");
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(calc.busy());
    calc.setProgress(nullptr);
    EXPECT_EQ(calc.calculate(open("check.txt", "123456789").get()).valueOr(0), 0xCBF43926u);
}

TEST_F(Crc32CalcTest, FileCutShortWhileReadIsAnErrorNotACrash) {
    const QString path = world.makeFile("log.txt", QByteArray(3 * TCRC32Calc::kBlock, 'y'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Another program truncates the file after the first block was read: the pages of the
    // view past the new end can no longer be read.
    calc.setProgress([&](qint64, qint64) {
        EXPECT_TRUE(QFile::resize(path, 0));
        return true;
    });
    expectFailure(calc.calculate(&file), kNotMapped);
    EXPECT_FALSE(calc.busy());
}

TEST_F(Crc32CalcTest, MappingShowsTheFileUntilClosed) {
    const QByteArray content = randomBytes(10000, 5);
    auto file = open("view.bin", content);
    TFileMapping mapping(file.get());
    ASSERT_NE(mapping.view(), nullptr);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(mapping.view()), int(mapping.size())),
              content);
    mapping.close();
    EXPECT_EQ(mapping.view(), nullptr);
    EXPECT_EQ(mapping.size(), 0);
    mapping.close(); // a second close does nothing

    // Bytes written through the stream but still in its buffer are part of the view.
    QFile rw(world.path("written.txt"));
    ASSERT_TRUE(rw.open(QIODevice::ReadWrite));
    rw.write("buffered");
    TFileMapping written(&rw);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(written.view()), int(written.size())),
              QByteArray("buffered"));
}

TEST_F(Crc32CalcTest, MappingRefusesWhatCannotBeMapped) {
    QFile device(QStringLiteral("/dev/null"));
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    expectRaises<EFileMappingError>([&] { TFileMapping m(&device); }, kNoMapping);

    // A descriptor open for writing only cannot be mapped for reading.
    QFile writeOnly(world.makeFile("wo.txt", "content"));
    ASSERT_TRUE(writeOnly.open(QIODevice::WriteOnly | QIODevice::Append));
    expectRaises<EFileMappingError>([&] { TFileMapping m(&writeOnly); }, kNotMapped);
}

namespace {

// Two guarded reads on two threads, interleaved: the first starts, the second starts, the first
// ends, then the second reads a page the file no longer has.
struct Interleaved {
    const uchar* view = nullptr;
    std::atomic<int> step{0};
    uchar byte = 0;
};

void waitForStep(const std::atomic<int>& step, int wanted) {
    while (step.load() < wanted)
        std::this_thread::yield();
}

void firstRead(void* context) {
    auto* run = static_cast<Interleaved*>(context);
    run->step = 1;
    waitForStep(run->step, 2);
}

void secondRead(void* context) {
    auto* run = static_cast<Interleaved*>(context);
    run->step = 2;
    waitForStep(run->step, 3);
    run->byte = run->view[0];
}

} // namespace

TEST_F(Crc32CalcTest, AGuardedReadEndingOnOneThreadLeavesAnotherOneGuarded) {
    // The checksum of a pair runs on a thread of its own while the viewer reads its file.
    auto other = open("other.bin", QByteArray(8192, 'o'));
    const QString path = world.makeFile("cut.bin", QByteArray(8192, 'c'));
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::ReadOnly));
    TFileMapping first(other.get());
    TFileMapping second(&cut);
    ASSERT_TRUE(QFile::resize(path, 0)); // its pages can no longer be read

    Interleaved run;
    run.view = second.view();
    QString failure;
    std::thread reader([&] {
        waitForStep(run.step, 1);
        try {
            second.guardedRead(secondRead, &run);
        } catch (const EFileMappingError& e) {
            failure = QString::fromLatin1(e.what());
        }
    });
    first.guardedRead(firstRead, &run);
    run.step = 3;
    reader.join();
    EXPECT_EQ(failure, kNotMapped);
}
