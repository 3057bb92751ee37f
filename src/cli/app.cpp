#include "cli/app.h"

#include "app/foldersfile.h"
#include "app/protection.h"
#include "cli/options.h"
#include "cli/searches.h"
#include "delete/batchdisposal.h"
#include "delete/unzip.h"
#include "platform/environment.h"
#include "platform/interrupts.h"
#include "platform/names.h"
#include "platform/registry.h"
#include "scan/search.h"
#include "zip/zipwriter.h"

#include <QFileDevice>
#include <optional>

namespace cli {

namespace {

void complain(const Streams& s, const QString& line) {
    s.err->write(platform::encodeName(QStringLiteral("vastel-cli: %1\n").arg(line)));
}

DisposalKind kindOf(Disposal disposal) {
    switch (disposal) {
    case Disposal::Trash:
        return DisposalKind::Recycle;
    case Disposal::Zip:
        return DisposalKind::Zip;
    case Disposal::Delete:
    case Disposal::None:
        break;
    }
    return DisposalKind::Delete;
}

// Asks on the terminal; only "y" or "yes" is a yes.
bool askOnTerminal(const Streams& s, const QString& question) {
    s.err->write((question + QStringLiteral(" [y/N] ")).toUtf8());
    const QString answer = QString::fromLocal8Bit(s.in->readLine()).trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

// The disposal of the files listed; its exit status.  The report goes to standard error, so
// that standard output holds the list only.
int dispose(const Options& o, const Disposable& disposable, const Streams& s) {
    BatchDisposalRequest request;
    request.kind = kindOf(o.disposal);
    request.files = disposable.files;
    request.savings = disposable.savings;
    request.tag = disposable.tag;
    request.copies = disposable.copies;
    request.zipFolder = o.zipFolder;
    request.assumeYes = o.yes;
    request.includeArchives = o.includeArchives;
    BatchDisposalIo io;
    io.say = [&](const QString& line) {
        s.err->write(platform::encodeName(line + QLatin1Char('\n')));
    };
    io.warn = [&](const QString& line) { complain(s, line); };
    io.confirm = [&](const QString& question) { return askOnTerminal(s, question); };

    // A zip run is not cut off by Ctrl-C or SIGTERM: the batch being written is abandoned (its
    // temporary file and its empty archive removed, its files left in place), and the run ends
    // with its report.  A second signal ends the program at once.  Deletions and the trash
    // stop as the signal always stopped them: each file is gone or not, with nothing between.
    std::optional<platform::InterruptCatcher> interrupts;
    if (request.kind == DisposalKind::Zip) {
        for (const QString& path : zip::ZipWriter::removeLeftovers(
                 archiveFolder(o.zipFolder), QString::fromLatin1(unzip::kArchiveMask)))
            complain(
                s,
                QStringLiteral("removed %1, left behind by a zip run that was stopped").arg(path));
        interrupts.emplace();
        io.abortRequested = [&interrupts] { return interrupts->caught() != 0; };
        // The question can still be answered with Ctrl-C.
        io.confirm = [&](const QString& question) {
            interrupts->pause();
            const bool yes = askOnTerminal(s, question);
            interrupts->resume();
            return yes;
        };
    }
    const BatchDisposalResult result = disposeInBatch(request, io);
    if (interrupts && interrupts->caught() != 0) {
        const int signal = interrupts->caught();
        complain(s, QStringLiteral("stopped by %1: the files not reported as zipped are where "
                                   "they were")
                        .arg(QString::fromLatin1(platform::signalName(signal))));
        return exInterrupted + signal;
    }
    if (!result.error.isEmpty()) {
        complain(s, result.error);
        return exError;
    }
    if (result.declined)
        return exNothing;
    return result.failed > 0 || result.refused > 0 ? exError : exFound;
}

} // namespace

int run(const QStringList& arguments, const Streams& s) {
    const ParsedArguments parsed = parseArguments(arguments);
    const Options& o = parsed.options;
    if (!parsed.error.isEmpty()) {
        complain(s, parsed.error);
        return exError;
    }
    if (o.help) {
        s.out->write(
            (o.command == Command::None ? programHelp() : commandHelp(o.command)).toUtf8());
        return exFound;
    }
    // Nobody could answer the question: nothing is searched, nothing touched.
    if (o.disposal != Disposal::None && !o.yes && !s.inIsTerminal) {
        complain(s, QStringLiteral("standard input is no terminal to confirm on: add --yes"));
        return exError;
    }

    // Without the non-delete list nothing may be disposed of; say so before a long search.
    if (o.disposal != Disposal::None) {
        ProtectedFolders folders;
        folders.buildFromWorld();
        if (!folders.listProblem().isEmpty()) {
            complain(s, folders.listProblem());
            complain(s, QStringLiteral("(start vastel and choose \"Build non-delete list\" "
                                       "to build it)"));
            return exError;
        }
        // A line that names no folder protects nothing; the disposal still goes on.
        for (const QString& warning : missingFolderWarnings(readFoldersFile().valueOr({})))
            complain(s, warning);
    }

    // A registry file that cannot be read leaves the file types unknown: worth a word.
    if (!platform::places().registryFile.isEmpty()) {
        const QString problem = platform::registryProblem();
        if (!problem.isEmpty())
            complain(s, problem);
    }

    Progress progress(s.err, s.errIsTerminal);
    const SearchOutcome outcome = runSearch(o, progress);
    if (!outcome.error.isEmpty()) {
        complain(s, outcome.error);
        return exError;
    }
    QString written = writeTable(outcome.table, s.out, o.json, o.header);
    // The list must have reached its reader before anything is disposed of.
    auto* file = qobject_cast<QFileDevice*>(s.out);
    if (written.isEmpty() && file && !file->flush())
        written = QStringLiteral("cannot write the results: %1").arg(file->errorString());
    if (!written.isEmpty()) {
        complain(s, written);
        return exError;
    }
    int status = exFound;
    if (outcome.found == 0)
        status = exNothing;
    else if (o.disposal != Disposal::None)
        status = dispose(o, outcome.disposable, s);
    if (outcome.skipped > 0 && (status == exFound || status == exNothing)) {
        complain(s, scan::skippedText(outcome.skipped) +
                        QStringLiteral(": the result may be incomplete"));
        return exIncomplete;
    }
    return status;
}

} // namespace cli
