// TfrmDupCompare, two duplicates side by side.  Its logic: dup/pairs.h and dup/paircheck.h (the
// checksums, on a thread of their own).

#include "dup/ui/frmdupcompare.h"

#include "app/protection.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/printreport.h"
#include "app/ui/resultgrid.h"
#include "app/ui/shellopen.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileicon.h"
#include "browse/ui/frmview.h"
#include "dup/paircheck.h"
#include "dup/ui/frmdup.h"
#include "dup/ui/pairarrow.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

const QColor kAqua(0, 255, 255);
const QColor kProtectedColour(Qt::yellow);

// The most version lines the lists show without scrolling.
constexpr int kMostListLines = 12;

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

QLabel* valueLabel(QWidget* parent, const QString& name) {
    QLabel* label = namedLabel(parent, name, QString());
    label->setAutoFillBackground(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long folders are cut off at the side rather than widening the window.
    label->setMinimumWidth(1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setContentsMargins(2, 0, 2, 0);
    return label;
}

} // namespace

TfrmDupCompare::TfrmDupCompare(QWidget* parent, ProtectedFolders& protection, TfrmFind* find)
    : QDialog(parent), m_protection(protection), m_find(find), m_owner(parent),
      m_grid(dups::columnCount(dups::Mode::Duplicates) + 1) {
    setObjectName(QStringLiteral("TfrmDupCompare"));
    setWindowTitle(QStringLiteral("Compare file pairs"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    auto* sides = new QHBoxLayout();
    sides->setSpacing(40); // room for the arrows between the sides
    sides->addWidget(buildSide(m_sides[0], 1), 1);
    sides->addWidget(buildSide(m_sides[1], 2), 1);
    layout->addLayout(sides);

    auto* lists = new QHBoxLayout();
    lists->setSpacing(40);
    lists->setContentsMargins(0, 6, 0, 3);
    for (Side& side : m_sides)
        lists->addWidget(side.versions, 1);
    layout->addLayout(lists);
    layout->addWidget(buildButtonPanel());

    m_imCreate = new PairArrow(this, QStringLiteral("imCreate"));
    m_imModify = new PairArrow(this, QStringLiteral("imModify"));
    m_imAccess = new PairArrow(this, QStringLiteral("imAccess"));
    m_sides[0].group->installEventFilter(this);

    m_check = new dups::PairCheck(this);
    m_check->setObjectName(QStringLiteral("pairCheck"));
    connect(m_check, &dups::PairCheck::progress, this, &TfrmDupCompare::checksumsProgressed);
    connect(m_check, &dups::PairCheck::finished, this, &TfrmDupCompare::checksumsFinished);

    connectSide(0);
    connectSide(1);
    connect(m_sbR1, &QPushButton::clicked, this, &TfrmDupCompare::sbR1Click);
    connect(m_sbL1, &QPushButton::clicked, this, &TfrmDupCompare::sbL1Click);
    connect(m_btCompute, &QPushButton::clicked, this, &TfrmDupCompare::btComputeClick);
    connect(m_btPrint, &QPushButton::clicked, this, &TfrmDupCompare::btPrintClick);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    auto* prev = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(next, &QShortcut::activated, m_sbR1, &QPushButton::click);
    connect(prev, &QShortcut::activated, m_sbL1, &QPushButton::click);

    showPair(0);
    resize(scaledPixels(this, 900), height());
}

TfrmDupCompare::~TfrmDupCompare() = default;

QWidget* TfrmDupCompare::buildSide(Side& side, int number) {
    const QString n = QString::number(number);
    side.group = new QGroupBox(this);
    side.group->setObjectName(QStringLiteral("GroupBox") + n);
    auto* box = new QVBoxLayout(side.group);
    auto* form = new QGridLayout();
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(2);
    form->setColumnStretch(2, 1);
    side.image = new QLabel(side.group);
    side.image->setObjectName(QStringLiteral("Image") + n);
    side.image->setFixedSize(36, 36);
    side.image->setAlignment(Qt::AlignCenter);
    form->addWidget(side.image, 0, 0, 2, 1, Qt::AlignTop);
    const auto addRow = [&](const char* caption, const char* name) {
        const int row = form->rowCount();
        QLabel* value = valueLabel(side.group, QLatin1String(name) + n);
        form->addWidget(new QLabel(QLatin1String(caption), side.group), row, 1);
        form->addWidget(value, row, 2);
        return value;
    };
    side.folder = addRow("Folder:", "lblFolder");
    side.sizeBytes = addRow("Size:", "lblSizeBytes");
    side.type = addRow("Type:", "lblType");
    side.create = addRow("Created:", "lblCreate");
    side.modify = addRow("Modified:", "lblModify");
    side.access = addRow("Accessed:", "lblAccess");
    side.attributes = addRow("Attributes:", "lblAttributes");
    side.crc = addRow("CRC:", "lblCRC");
    box->addLayout(form);
    side.del = valueLabel(side.group, QStringLiteral("lblDel") + n);
    side.del->setAlignment(Qt::AlignCenter);
    box->addWidget(side.del);

    const bool left = number == 1;
    auto* buttons = new QHBoxLayout();
    side.mark = namedButton(side.group, QStringLiteral("btMark") + n,
                            left ? QStringLiteral("&Mark") : QStringLiteral("M&ark"));
    side.launch = namedButton(side.group, QStringLiteral("btLaunch") + n,
                              left ? QStringLiteral("&Run") : QStringLiteral("R&un"));
    side.view = namedButton(side.group, QStringLiteral("btView") + n,
                            left ? QStringLiteral("&View") : QStringLiteral("Vi&ew"));
    side.browse = namedButton(side.group, QStringLiteral("btBrowse") + n,
                              left ? QStringLiteral("&Browse") : QStringLiteral("Bro&wse"));
    for (QPushButton* b : {side.mark, side.launch, side.view, side.browse}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    box->addLayout(buttons);

    side.versions = new QListWidget(this);
    side.versions->setObjectName(QStringLiteral("tlBox") + n);
    side.versions->setSelectionMode(QAbstractItemView::NoSelection);
    side.versions->setFocusPolicy(Qt::NoFocus);
    side.versions->setAutoFillBackground(true);
    return side.group;
}

QWidget* TfrmDupCompare::buildButtonPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlButtons"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 4, 0, 0);
    m_sbL1 = namedButton(panel, QStringLiteral("sbL1"), QStringLiteral("&Prev pair"));
    m_sbR1 = namedButton(panel, QStringLiteral("sbR1"), QStringLiteral("&Next pair"));
    m_btCompute = namedButton(panel, QStringLiteral("btCompute"), QStringLiteral("&CRC"));
    m_cbCRC =
        new QCheckBox(QStringLiteral("Automatically compare CRC values (may be slow)"), panel);
    m_cbCRC->setObjectName(QStringLiteral("cbCRC"));
    m_cbCRC->setAutoFillBackground(true);
    m_btPrint = namedButton(panel, QStringLiteral("btPrint"), QStringLiteral("Prin&t"));
    m_btClose = namedButton(panel, QStringLiteral("btClose"), QStringLiteral("Close"));
    for (QPushButton* b : {m_sbL1, m_sbR1, m_btCompute, m_btPrint, m_btClose})
        b->setAutoDefault(false);
    row->addWidget(m_sbL1);
    row->addWidget(m_sbR1);
    row->addSpacing(12);
    row->addWidget(m_btCompute);
    row->addWidget(m_cbCRC);
    row->addStretch(1);
    row->addWidget(m_btPrint);
    row->addWidget(m_btClose);
    return panel;
}

void TfrmDupCompare::connectSide(int index) {
    Side& side = m_sides[size_t(index)];
    connect(side.mark, &QPushButton::clicked, this, [this, index] { markRow(m_row + index); });
    connect(side.launch, &QPushButton::clicked, this, [this, &side] {
        if (!shellopen::openFile(side.data.path))
            msgbox::errorBox(QStringLiteral("Couldn't run ") + side.data.path);
    });
    connect(side.view, &QPushButton::clicked, this, [this, &side] {
        if (m_find)
            viewFile(this, *m_find, side.data.path);
    });
    connect(side.browse, &QPushButton::clicked, this, [this, &side] {
        if (m_browse)
            m_browse(side.data.path);
    });
}

void TfrmDupCompare::setBrowse(std::function<void(const QString& path)> browse) {
    m_browse = std::move(browse);
    for (Side& side : m_sides)
        side.browse->setEnabled(m_browse && side.data.found);
}

// ---- the source window -----------------------------------------------------------------------

void TfrmDupCompare::showFor(TfrmDup* source) {
    if (!source)
        return;
    m_source = source;
    // A window of the modal duplicate window's own can be used beside it.
    if (parentWidget() != source)
        setParent(source, windowFlags());
    const int rows = source->rowCount();
    m_grid = source->resultGrid();
    m_grid.setColumnCount(dups::columnCount(dups::Mode::Duplicates) + 1);
    m_grid.setRowCount(rows + 1);
    const int selected = source->results()->selectedGridRow();
    const bool wasVisible = isVisible();
    showPair(selected >= 1 ? selected : std::min(1, rows));
    if (!wasVisible)
        placement::centre(this);
    show();
    raise();
    activateWindow();
}

void TfrmDupCompare::sourceGone(const TfrmDup* source) {
    if (m_source != source && parentWidget() != source)
        return;
    hide();
    m_source = nullptr;
    if (parentWidget() != m_owner)
        setParent(m_owner, windowFlags());
}

TfrmDup* TfrmDupCompare::source() const {
    return m_source;
}

bool TfrmDupCompare::sourceHasRow(int row) const {
    if (!m_source || row < 1 || row > m_source->rowCount() || row >= m_grid.rowCount())
        return false;
    const TextGrid& theirs = m_source->resultGrid();
    return theirs.cell(dups::dcFilename, row) == m_grid.cell(dups::dcFilename, row) &&
           theirs.cell(dups::dcFolder, row) == m_grid.cell(dups::dcFolder, row);
}

void TfrmDupCompare::markRow(int row) {
    // After a new scan the source's rows are other files: marking one would mark a file the
    // window does not show.
    if (!sourceHasRow(row)) {
        QApplication::beep();
        return;
    }
    m_source->results()->toggleRow(row);
}

// ---- stepping --------------------------------------------------------------------------------

void TfrmDupCompare::sbR1Click() {
    stepTo(dups::nextPairRow(m_grid, m_row));
}

void TfrmDupCompare::sbL1Click() {
    stepTo(dups::prevPairRow(m_grid, m_row));
}

void TfrmDupCompare::stepTo(std::optional<int> row) {
    if (!row)
        return;
    showPair(*row);
    if (sourceHasRow(*row))
        m_source->results()->selectRow(*row);
}

void TfrmDupCompare::showPair(int row) {
    m_row = row;
    fillSide(m_sides[0], row);
    fillSide(m_sides[1], row + 1);
    highlight();
}

void TfrmDupCompare::fillSide(Side& side, int row) {
    side.hasRow = row >= 1 && row < m_grid.rowCount();
    side.data = side.hasRow ? dups::readPairSide(m_grid.cell(dups::dcFolder, row),
                                                 m_grid.cell(dups::dcFilename, row),
                                                 QDateTime::currentDateTime())
                            : dups::PairSide();
    const dups::PairSide& d = side.data;
    side.group->setTitle(d.name);
    side.folder->setText(d.folder);
    side.folder->setToolTip(d.folder); // all of a folder too long for the label
    side.sizeBytes->setText(d.sizeBytes);
    side.type->setText(d.type);
    side.create->setText(d.create);
    side.modify->setText(d.modify);
    side.access->setText(d.access);
    side.attributes->setText(d.attributes);
    side.crc->clear();
    side.image->setPixmap(d.found ? fileIcon(d.path, false).pixmap(32, 32) : QPixmap());
    side.versions->clear();
    side.versions->addItems(d.versionLines);
    side.mark->setEnabled(side.hasRow);
    side.launch->setEnabled(d.found);
    side.view->setEnabled(d.found && m_find);
    side.browse->setEnabled(d.found && m_browse);
}

// ---- highlighting ----------------------------------------------------------------------------

void TfrmDupCompare::highlight() {
    layOut();
    for (Side& side : m_sides)
        showProtection(side);
    if (m_cbCRC->isChecked())
        startChecksums();
    else
        stopChecksums();
    applyBackgrounds();
    const dups::PairSide& l = m_sides[0].data;
    const dups::PairSide& r = m_sides[1].data;
    const bool both = l.found && r.found;
    m_imCreate->setArrow(both ? dups::arrowBetween(l.created, r.created) : dups::Arrow::None);
    m_imModify->setArrow(both ? dups::arrowBetween(l.modified, r.modified) : dups::Arrow::None);
    m_imAccess->setArrow(both ? dups::arrowBetween(l.accessDay, r.accessDay) : dups::Arrow::None);
    placeArrows();
}

void TfrmDupCompare::layOut() {
    const qsizetype lines =
        std::max(m_sides[0].data.versionLines.size(), m_sides[1].data.versionLines.size());
    const bool lists = lines >= 2;
    for (Side& side : m_sides) {
        side.versions->setVisible(lists);
        if (lists) {
            const int row = side.versions->fontMetrics().height() + 2;
            side.versions->setFixedHeight(int(std::min<qsizetype>(lines, kMostListLines)) * row +
                                          2 * side.versions->frameWidth() + 4);
        }
    }
    // The window's height follows the button panel.
    layout()->activate();
    setFixedHeight(sizeHint().height());
    if (isVisible())
        placement::centreVertically(this);
}

void TfrmDupCompare::showProtection(Side& side) {
    const bool isProtected = side.data.found && m_protection.lookup(side.data.path, true);
    side.del->setText(isProtected ? QStringLiteral("** In Non-Delete List **") : QString());
    side.del->setProperty("protected", isProtected);
}

void TfrmDupCompare::applyBackgrounds() {
    const QColor normal = palette().color(QPalette::Window);
    Side& l = m_sides[0];
    Side& r = m_sides[1];
    const bool both = l.data.found && r.data.found;
    const std::pair<QLabel*, QLabel*> pairs[] = {{l.folder, r.folder},
                                                 {l.sizeBytes, r.sizeBytes},
                                                 {l.type, r.type},
                                                 {l.create, r.create},
                                                 {l.modify, r.modify},
                                                 {l.access, r.access},
                                                 {l.attributes, r.attributes},
                                                 {l.crc, r.crc}};
    for (const auto& [a, b] : pairs) {
        const QColor colour = m_printing                       ? QColor(Qt::white)
                              : both && a->text() != b->text() ? kAqua
                                                               : normal;
        setBackground(a, colour);
        setBackground(b, colour);
    }
    for (size_t s = 0; s < m_sides.size(); ++s) {
        Side& side = m_sides[s];
        const bool isProtected = side.del->property("protected").toBool();
        setBackground(side.del, m_printing    ? QColor(Qt::white)
                                : isProtected ? kProtectedColour
                                              : normal);
        const QStringList& mine = side.data.versionLines;
        const QStringList& other = m_sides[1 - s].data.versionLines;
        setBackground(side.versions, Qt::white);
        for (int i = 0; i < side.versions->count(); ++i) {
            const bool differs = !m_printing && dups::versionLineDiffers(mine, other, i);
            side.versions->item(i)->setBackground(differs ? QBrush(kAqua) : QBrush());
        }
    }
    setBackground(m_cbCRC, m_printing ? QColor(Qt::white) : normal);
}

void TfrmDupCompare::placeArrows() {
    const QRect left = m_sides[0].group->geometry();
    const QRect right = m_sides[1].group->geometry();
    const int centre = (left.right() + right.left()) / 2;
    const std::pair<PairArrow*, QLabel*> rows[] = {{m_imCreate, m_sides[0].create},
                                                   {m_imModify, m_sides[0].modify},
                                                   {m_imAccess, m_sides[0].access}};
    for (const auto& [arrow, label] : rows) {
        const QPoint at = label->mapTo(this, QPoint(0, label->height() / 2));
        arrow->move(centre - arrow->width() / 2, at.y() - arrow->height() / 2);
        arrow->raise();
    }
}

bool TfrmDupCompare::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sides[0].group &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeArrows();
    return QDialog::eventFilter(watched, event);
}

void TfrmDupCompare::hideEvent(QHideEvent* event) {
    // Closed, Esc or its source gone (not merely minimized): the checksums are not wanted.
    if (!event->spontaneous())
        stopChecksums();
    QDialog::hideEvent(event);
}

// ---- checksums -------------------------------------------------------------------------------

bool TfrmDupCompare::checksumsRunning() const {
    return m_check->running();
}

void TfrmDupCompare::startChecksums() {
    for (Side& side : m_sides)
        side.crc->clear();
    if (m_check->running()) {
        stopChecksums();
        m_checkAgain = true;
        return;
    }
    if (!m_sides[0].data.found || !m_sides[1].data.found)
        return;
    m_checkStopped = false;
    m_check->start(m_sides[0].data.path, m_sides[1].data.path);
    m_btCompute->setText(QStringLiteral("&Cancel"));
}

void TfrmDupCompare::stopChecksums() {
    m_checkAgain = false;
    if (!m_check->running())
        return;
    m_check->abort();
    m_checkStopped = true;
}

void TfrmDupCompare::checksumsProgressed(const dups::PairCheckProgress& done) {
    if (m_checkStopped)
        return;
    const QString percent = QString::number(done.percent()) + QLatin1Char('%');
    switch (done.stage) {
    case dups::PairCheckProgress::LeftChecksum:
    case dups::PairCheckProgress::RightChecksum: {
        const size_t reading = done.stage == dups::PairCheckProgress::LeftChecksum ? 0 : 1;
        m_sides[reading].crc->setText(QStringLiteral("Computing CRC... ") + percent);
        m_sides[1 - reading].crc->clear();
        break;
    }
    case dups::PairCheckProgress::Contents:
        for (Side& side : m_sides)
            side.crc->setText(QStringLiteral("Comparing contents... ") + percent);
        break;
    }
}

void TfrmDupCompare::checksumsFinished(const dups::PairCheckResult& result) {
    m_btCompute->setText(QStringLiteral("&CRC"));
    for (Side& side : m_sides)
        side.crc->clear();
    const bool stopped = m_checkStopped || result.aborted;
    m_checkStopped = false;
    if (stopped) {
        applyBackgrounds();
        if (std::exchange(m_checkAgain, false))
            startChecksums();
        return;
    }
    for (const Result<quint32>* sum : {&result.left, &result.right}) {
        if (!*sum) {
            applyBackgrounds();
            msgbox::errorBox(sum->message());
            return;
        }
    }
    const dups::ChecksumTexts texts =
        dups::checksumTexts(result.left.value(), result.right.value(), result.sameBytes);
    m_sides[0].crc->setText(texts.left);
    m_sides[1].crc->setText(texts.right);
    applyBackgrounds();
}

void TfrmDupCompare::btComputeClick() {
    if (m_check->running()) {
        stopChecksums();
        return;
    }
    startChecksums();
}

// ---- printing --------------------------------------------------------------------------------

void TfrmDupCompare::btPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printWindow(printer);
}

bool TfrmDupCompare::printWindow(QPrinter& printer) {
    m_printing = true;
    applyBackgrounds();
    const QPixmap image = grab();
    m_printing = false;
    applyBackgrounds();
    return PrintImage(printer, image);
}
