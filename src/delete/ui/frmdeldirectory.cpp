// TfrmDelDirectory, the deletion of a whole folder.  Its logic: delete/folderclean.h and
// delete/ownarchives.h.

#include "delete/ui/frmdeldirectory.h"

#include "app/format.h"
#include "app/protection.h"
#include "app/shell.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/ownarchives.h"
#include "delete/ui/frmzipoptions.h"
#include "delete/ui/handover.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// Failures shown box by box in one run; the rest are summed up in one box at the end.
constexpr int kErrorBoxes = 10;
// How long one step of a run may take before the window gets its turn.
constexpr qint64 kStepMs = 25;

// A framed row: a button with its explanation beside it.
QFrame* choiceRow(QWidget* parent, QPushButton* button, QWidget* explanation) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    auto* row = new QHBoxLayout(frame);
    button->setMinimumWidth(190);
    row->addWidget(button, 0, Qt::AlignTop);
    row->addWidget(explanation, 1);
    return frame;
}

QLabel* panel(QWidget* parent, const QString& name, const QString& text) {
    QLabel* label = namedLabel(parent, name, text);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

} // namespace

TfrmDelDirectory::TfrmDelDirectory(QWidget* parent, const QString& folder,
                                   ProtectedFolders& protection)
    : QDialog(parent), m_protection(protection) {
    setObjectName(QStringLiteral("TfrmDelDirectory"));
    setWindowTitle(QStringLiteral("Clean directory, sub-directories and all files"));
    setModal(true);

    m_lblTop = namedLabel(this, QStringLiteral("lblTop"), QStringLiteral("Folder to clean: "));
    m_lblTop->setAlignment(Qt::AlignCenter);
    m_lblTop->setWordWrap(true);
    m_lblDirectory = namedLabel(this, QStringLiteral("lblDirectory"), folder);
    m_lblDirectory->setAlignment(Qt::AlignCenter);
    m_lblDirectory->setWordWrap(true);
    QFont bold = m_lblDirectory->font();
    bold.setBold(true);
    m_lblDirectory->setFont(bold);

    m_bitBtn3 = namedButton(this, QStringLiteral("BitBtn3"), QStringLiteral("Cancel"),
                            QStringLiteral("Cancel. Do not delete."));
    m_pnlCount = panel(this, QStringLiteral("pnlCount"), QStringLiteral("Count"));
    m_pnlCount->setMinimumWidth(90);
    m_pnlName = panel(this, QStringLiteral("pnlName"), QStringLiteral("Filename"));
    m_pnlName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_gauge1 = redGauge(this);
    m_gauge1->setFixedWidth(90);
    m_gauge1->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 8);
    layout->addWidget(m_lblTop);
    layout->addWidget(m_lblDirectory);
    layout->addSpacing(6);
    layout->addWidget(buildChoices());
    auto* status = new QHBoxLayout();
    status->addWidget(m_pnlCount);
    status->addWidget(m_pnlName, 1);
    status->addWidget(m_gauge1);
    layout->addLayout(status);
    resize(560, sizeHint().height());

    connect(m_btDelete, &QPushButton::clicked, this, &TfrmDelDirectory::btDeleteClick);
    connect(m_btRecycle, &QPushButton::clicked, this, &TfrmDelDirectory::btRecycleClick);
    connect(m_btZip, &QPushButton::clicked, this, &TfrmDelDirectory::btZipClick);
    connect(m_bitBtn3, &QPushButton::clicked, this, &TfrmDelDirectory::BitBtn3Click);
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &TfrmDelDirectory::stepRun);
}

TfrmDelDirectory::~TfrmDelDirectory() = default;

QWidget* TfrmDelDirectory::buildChoices() {
    auto* box = new QWidget(this);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);

    m_btDelete = namedButton(box, QStringLiteral("btDelete"), QStringLiteral("&Delete folder"));
    rows->addWidget(choiceRow(
        box, m_btDelete,
        namedLabel(box, QStringLiteral("lblDelete"),
                   QStringLiteral("All files and sub-folders are deleted.  Files cannot be "
                                  "recovered.  Hard disk space immediately freed up."),
                   true)));

    m_btRecycle =
        namedButton(box, QStringLiteral("btRecycle"), QStringLiteral("&Send files to recycle bin"));
    rows->addWidget(choiceRow(
        box, m_btRecycle,
        namedLabel(box, QStringLiteral("lblRecycle"),
                   QStringLiteral("All files sent to the Windows 95 recycle bin which can be "
                                  "emptied later. Files may be recovered.  Hard disk space is not "
                                  "freed up until recycle bin is emptied.."),
                   true)));

    m_btZip = namedButton(box, QStringLiteral("btZip"), QStringLiteral("&Zip up folder"));
    m_cbDelete = new QCheckBox(QStringLiteral("Delete files after zipping them up"), box);
    m_cbDelete->setObjectName(QStringLiteral("cbDelete"));
    m_cbDelete->setChecked(true);
    auto* zipText = new QWidget(box);
    auto* zipColumn = new QVBoxLayout(zipText);
    zipColumn->setContentsMargins(0, 0, 0, 0);
    zipColumn->addWidget(namedLabel(
        zipText, QStringLiteral("lblZip"),
        QStringLiteral("All files and sub-folders are compressed into one archive zip file.  "
                       "They can be restored with \"Unzip archive files\" of the main window or "
                       "with any unzip program."),
        true));
    zipColumn->addWidget(m_cbDelete);
    rows->addWidget(choiceRow(box, m_btZip, zipText));

    rows->addWidget(choiceRow(
        box, m_bitBtn3,
        namedLabel(box, QStringLiteral("lblCancel"), QStringLiteral("Cancel operation."), true)));
    return box;
}

QString TfrmDelDirectory::folder() const {
    return m_lblDirectory->text();
}

void TfrmDelDirectory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmDelDirectory::FormShow() {
    m_recycle = false;
    m_running = false;
    m_cancelClicked = false;
    m_lblTop->setText(QStringLiteral("Folder to clean: "));
    m_lblTop->setStyleSheet(QString());
    int reason = ProtectedFolders::NotProtected;
    if (m_protection.lookup(folder(), false, &reason)) {
        m_lblTop->setText(QStringLiteral("This folder should not be deleted since it is ") +
                          ProtectedFolders::reasonText(reason));
        m_lblTop->setStyleSheet(QStringLiteral("color: red;"));
    }
}

bool TfrmDelDirectory::refused(bool deletes) {
    const FolderRefusal refusal = folderRefusal(folder());
    if (!deletes || refusal == FolderRefusal::None)
        return false;
    msgbox::errorBox(folderRefusalText(refusal));
    return true;
}

void TfrmDelDirectory::btDeleteClick() {
    if (m_running || refused(true))
        return;
    m_recycle = false;
    m_zip = false;
    StartTheDeletionProcess(FolderMode::Delete);
}

void TfrmDelDirectory::btRecycleClick() {
    if (m_running || refused(true))
        return;
    if (!msgbox::askYesNo(disposalText::recycleQuestion())) {
        m_recycle = false;
        m_zip = false;
        return;
    }
    m_recycle = true;
    m_zip = false;
    StartTheDeletionProcess(FolderMode::Recycle);
}

void TfrmDelDirectory::btZipClick() {
    if (m_running || refused(m_cbDelete->isChecked()))
        return;
    m_zip = true;
    m_recycle = false;
    ZipRunSettings zip;
    {
        TfrmZipOptions options(this);
        const int answer = options.exec();
        if (answer != QDialog::Accepted)
            return;
        zip.comment = options.comment();
    }
    zip.tag = QString::fromLatin1(archiveTags::FolderClean);
    zip.zipFolder = shell::defaultZipFolder();
    zip.moment = QDateTime::currentDateTime();
    StartTheDeletionProcess(FolderMode::Zip, zip);
}

void TfrmDelDirectory::StartTheDeletionProcess(FolderMode mode, const ZipRunSettings& zip) {
    int reason = ProtectedFolders::NotProtected;
    if (m_protection.lookup(folder(), false, &reason) &&
        !msgbox::askYesNo(
            QStringLiteral("Warning: the folder or a sub-folder of the one to delete is marked "
                           "NOT to be deleted because it is ") +
            ProtectedFolders::reasonText(reason) +
            QStringLiteral(".  You may not want to delete it at this time.  Really delete?")))
        return;
    // The program's own archives below the folder are often the only copies of what they hold.
    const bool deletes = mode != FolderMode::Zip || m_cbDelete->isChecked();
    const qsizetype archives =
        deletes ? ownarchives::archivesInFolder(folder(), {shell::defaultZipFolder()}) : 0;
    if (archives > 0 &&
        !msgbox::askYesNo(ownarchives::folderQuestion(folder(), archives), QMessageBox::No))
        return;

    FolderCleanSettings settings;
    settings.folder = folder();
    settings.mode = mode;
    settings.deleteAfterZip = m_cbDelete->isChecked();
    settings.zip = zip;
    m_run = std::make_unique<FolderClean>(settings, runHooks());
    const Result<> started = m_run->start();
    if (!started) {
        m_run.reset();
        msgbox::errorBox(started.message());
        return;
    }
    if (m_run->removedAtOnce()) {
        m_run.reset();
        done(1);
        return;
    }
    m_running = true;
    m_errorsShown = 0;
    m_errorsHeld = 0;
    for (QPushButton* b : {m_btDelete, m_btRecycle, m_btZip})
        b->setEnabled(false);
    m_cbDelete->setEnabled(false);
    m_stepTimer.start();
}

FolderCleanHooks TfrmDelDirectory::runHooks() {
    FolderCleanHooks hooks;
    hooks.confirm = [](const QString& question) {
        return msgbox::ask(question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                           QMessageBox::Yes) == QMessageBox::Yes;
    };
    hooks.counted = [this](qint64 count, const QString& path) {
        m_shownCount = count;
        m_shownName = path;
    };
    hooks.error = [this](const QString& message) { showError(message); };
    hooks.gauge = [this](int percent) {
        m_gauge1->setValue(percent);
        m_gauge1->setVisible(percent < 100);
        m_gauge1->repaint();
    };
    return hooks;
}

void TfrmDelDirectory::showError(const QString& message) {
    if (m_errorsShown >= kErrorBoxes) {
        ++m_errorsHeld;
        return;
    }
    ++m_errorsShown;
    msgbox::errorBox(message);
}

void TfrmDelDirectory::stepRun() {
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    while (more && clock.elapsed() < kStepMs)
        more = m_run->step(64);
    m_pnlCount->setText(FormatThousands(m_shownCount));
    m_pnlName->setText(m_shownName);
    if (more)
        m_stepTimer.start();
    else
        endRun();
}

void TfrmDelDirectory::endRun() {
    m_running = false;
    m_gauge1->hide();
    if (m_errorsHeld > 0)
        msgbox::errorBox(FormatThousands(m_errorsHeld) +
                         QStringLiteral(" more files could not be handled; they are still where "
                                        "they were."));
    const QString result = m_run->resultText();
    if (!result.isEmpty())
        msgbox::infoBox(result);
    m_pnlCount->setText(QStringLiteral("Count"));
    m_pnlName->setText(QStringLiteral("Filename"));
    m_run.reset();
    emit runEnded();
    done(m_cancelClicked ? 2 : 1);
}

void TfrmDelDirectory::BitBtn3Click() {
    if (!m_running) {
        done(2);
        return;
    }
    m_cancelClicked = true;
    // No step runs while the question is open.
    m_stepTimer.stop();
    if (msgbox::askYesNo(QStringLiteral("Really abort?  Folders may be partially deleted!")))
        m_run->abort();
    m_stepTimer.start();
}

void TfrmDelDirectory::reject() {
    BitBtn3Click();
}
