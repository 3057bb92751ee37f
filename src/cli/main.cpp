// vastel-cli: the searches of Vastel without a window.
#include "cli/app.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vastel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.8b"));

    QFile out, err, in;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !in.open(stdin, QIODevice::ReadOnly)) {
        std::fputs("vastel-cli: cannot open the standard streams\n", stderr);
        return 2;
    }
    cli::Streams streams;
    streams.out = &out;
    streams.err = &err;
    streams.in = &in;
    streams.errIsTerminal = platform::isTerminal(2);
    streams.inIsTerminal = platform::isTerminal(0);
    const int status = cli::run(app.arguments().mid(1), streams);
    // Buffered output reaches the stream here; a failure then still counts.
    if (!out.flush()) {
        std::fputs("vastel-cli: cannot write the results\n", stderr);
        return 2;
    }
    err.flush();
    return status;
}
