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

    // The results come in large chunks already; unbuffered here, they reach the terminal
    // before a question about them is asked.
    QFile out, err, in;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
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
    // What the stream still buffers reaches it here; a failure then still counts (once).
    if (!out.flush() && status != cli::exError) {
        std::fputs("vastel-cli: cannot write the results\n", stderr);
        return cli::exError;
    }
    err.flush();
    return status;
}
