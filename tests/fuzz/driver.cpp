// SPDX-License-Identifier: MIT
// Where libFuzzer is absent: runs a target on the files and folders named,
// then on seeded inputs, so the same entry points are exercised anywhere.
//
//   fuzz_x [--runs N] [--seed S] [--max-len L] [FILE | FOLDER]...
//
// Each generated input is one of the named files with random edits (bytes changed,
// inserted, deleted, pieces repeated, line ends and spaces put in) or, with
// no files, random bytes. A failing input is written to failing-input
// in the current folder when the target aborts, so it can be kept.

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>
#ifndef O_BINARY // Windows' own flag: no line-end translation
#define O_BINARY 0
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

QByteArray mutated(QByteArray bytes, QRandomGenerator &random, qsizetype maxLength)
{
    static const QByteArray pieces[] = {"\r\n", "\r", "\n", " ", "  ", "\xEF\xBB\xBF",
                                        QByteArray(1, '\0'), "\xD0\xB6", "\xE6", "\xF0\x9F\x98\x80"};
    for (int edits = 1 + random.bounded(8); edits > 0; --edits) {
        const qsizetype at = random.bounded(bytes.size() + 1);
        switch (random.bounded(5)) {
        case 0:
            if (at < bytes.size())
                bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.insert(at, char(random.bounded(256)));
            break;
        case 2:
            bytes.remove(at, random.bounded(4));
            break;
        case 3:
            bytes.insert(at, bytes.mid(random.bounded(bytes.size() + 1), random.bounded(16)));
            break;
        default:
            bytes.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
        }
    }
    return bytes.left(maxLength);
}

// The input being run, written out if the target fails on it.
QByteArray current;
const char *const FailingName = "failing-input";

extern "C" void keepFailing(int signal)
{
    if (const int fd = ::open(FailingName, O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0644); fd >= 0) {
        [[maybe_unused]] const auto written = ::write(fd, current.constData(), size_t(current.size()));
        ::close(fd);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void run(const QByteArray &bytes)
{
    current = bytes;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    long runs = 0, maxLength = 256;
    quint32 seed = 1;
    QList<QByteArray> inputs;
    for (int i = 1; i < argc; ++i) {
        const char *value = i + 1 < argc ? argv[i + 1] : "0";
        if (!std::strcmp(argv[i], "--runs"))
            runs = std::atol(value), ++i;
        else if (!std::strcmp(argv[i], "--seed"))
            seed = quint32(std::atol(value)), ++i;
        else if (!std::strcmp(argv[i], "--max-len"))
            maxLength = std::atol(value), ++i;
        else {
            const QString path = QString::fromLocal8Bit(argv[i]);
            const QStringList files = QFileInfo(path).isDir()
                    ? QDir(path).entryList(QDir::Files, QDir::Name) : QStringList{path};
            for (const QString &file : files) {
                QFile in(QFileInfo(path).isDir() ? QDir(path).filePath(file) : file);
                if (!in.open(QIODevice::ReadOnly)) {
                    std::fprintf(stderr, "cannot read %s\n", qPrintable(in.fileName()));
                    return 2;
                }
                inputs.append(in.readAll());
                run(inputs.last());
            }
        }
    }
    for (const int signal : {SIGABRT, SIGSEGV, SIGFPE, SIGILL})
        std::signal(signal, keepFailing);
#ifdef SIGBUS // not on Windows
    std::signal(SIGBUS, keepFailing);
#endif
    QRandomGenerator random(seed);
    for (long i = 0; i < runs; ++i) {
        if (inputs.isEmpty() || random.bounded(4) == 0) {
            QByteArray bytes(random.bounded(int(maxLength) + 1), '\0');
            for (char &c : bytes)
                c = char(random.bounded(256));
            run(bytes);
        } else {
            run(mutated(inputs.at(random.bounded(int(inputs.size()))), random, maxLength));
        }
    }
    std::printf("%d files and %ld seeded inputs (seed %u): no failure\n", int(inputs.size()), runs,
                seed);
    return 0;
}
