// TfrmView, the text and hex viewer.  Its logic: browse/viewedfile.h, browse/lineindex.h,
// browse/viewtext.h and browse/strings.h; the view itself is browse/ui/fileviewer.h.

#include "browse/ui/frmview.h"

#include "app/format.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/widgets.h"
#include "browse/strings.h"
#include "browse/ui/fileviewer.h"
#include "browse/ui/frmfind.h"
#include "browse/ui/viewerprint.h"
#include "browse/ui/viewerprompts.h"
#include "platform/tempfile.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString paddedNumber(qint64 number, int width) {
    return number < 0 ? QStringLiteral("?").rightJustified(width)
                      : QString::number(number).rightJustified(width);
}

} // namespace

TfrmView::TfrmView(QWidget* parent, TfrmFind& find, const QString& fileName, Kind kind)
    : QDialog(parent), m_find(find), m_kind(kind) {
    setObjectName(QStringLiteral("TfrmView"));
    setAcceptDrops(true);
    resize(720, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_viewer = new TFileViewer(this);
    m_viewer->setViewerFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->setMenuBar(buildMenus());
    layout->addWidget(m_viewer, 1);
    layout->addWidget(buildHeader());
    layout->addLayout(buildButtons());
    connect(m_viewer, &TFileViewer::statusChanged, this, &TfrmView::ViewerStatus);
    if (m_kind == Kind::Strings) {
        m_btStrings->hide();
        m_rbAscii->hide();
        m_rbHex->hide();
        m_actions.value("OptionsHexMode")->setVisible(false);
    }
    loadFile(fileName);
}

TfrmView::~TfrmView() = default;

QMenuBar* TfrmView::buildMenus() {
    auto* bar = new QMenuBar(this);
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& keys, void (TfrmView::*slot)()) {
        QAction* a = namedMenuItem(menu, QLatin1String(name), caption);
        if (!keys.isEmpty())
            a->setShortcut(keys);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        m_actions.insert(QLatin1String(name), a);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    item(file, "FileOpen", QStringLiteral("&Open..."), {}, &TfrmView::FileOpenClick);
    item(file, "FilePrint", QStringLiteral("&Print..."), {}, &TfrmView::PrintClick);
    item(file, "FilePrintSetup", QStringLiteral("P&rint setup..."), {}, &TfrmView::PrintSetupClick);
    file->addSeparator();
    connect(item(file, "FileExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4),
                 nullptr),
            &QAction::triggered, this, &QDialog::reject);

    QMenu* clipboard = bar->addMenu(QStringLiteral("&Clipboard"));
    connect(item(clipboard, "ClipboardCopy", QStringLiteral("&Copy"),
                 QKeySequence(Qt::CTRL | Qt::Key_Insert), nullptr),
            &QAction::triggered, this, [this]() { m_viewer->copyToClipboard(); });
    connect(item(clipboard, "ClipboardSelectAll", QStringLiteral("&Select all"), {}, nullptr),
            &QAction::triggered, this, [this]() { m_viewer->selectAll(); });

    QMenu* searchMenu = bar->addMenu(QStringLiteral("&Search"));
    item(searchMenu, "SearchFind", QStringLiteral("&Find..."), {}, &TfrmView::FindClick);
    item(searchMenu, "SearchFindNext", QStringLiteral("Find &next"), QKeySequence(Qt::Key_F3),
         &TfrmView::FindNextClick);
    item(searchMenu, "SearchGoToLine", QStringLiteral("&Go to line..."), QKeySequence(Qt::Key_F4),
         &TfrmView::GoToLineClick);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    QAction* hex = item(options, "OptionsHexMode", QStringLiteral("&Hex Mode"),
                        QKeySequence(Qt::Key_F8), &TfrmView::HexModeClick);
    hex->setCheckable(true);
    QAction* tabs =
        item(options, "OptionsTabExpansion", QStringLiteral("&Tab expansion"), {}, nullptr);
    tabs->setCheckable(true);
    tabs->setChecked(m_viewer->expandTabs());
    connect(tabs, &QAction::toggled, m_viewer, &TFileViewer::setExpandTabs);
    item(options, "OptionsTabSize", QStringLiteral("Tab si&ze..."), {}, &TfrmView::TabSizeClick);
    item(options, "OptionsFont", QStringLiteral("&Font..."), {}, &TfrmView::FontClick);

    for (QMenu* menu : {file, clipboard, searchMenu, options})
        connect(menu, &QMenu::aboutToShow, this, &TfrmView::updateMenus);
    return bar;
}

QWidget* TfrmView::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("Header1"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const int widths[] = {90, 150, 100, 170, 0};
    for (int i = 0; i < 5; ++i) {
        auto* section = new QLabel(header);
        section->setObjectName(QStringLiteral("Header1Section%1").arg(i));
        section->setFrameShape(QFrame::Panel);
        section->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0)
            section->setFixedWidth(widths[i]);
        row->addWidget(section, widths[i] > 0 ? 0 : 1);
        m_header.append(section);
    }
    return header;
}

QLayout* TfrmView::buildButtons() {
    auto* row = new QHBoxLayout();
    m_rbAscii = namedRadio(this, QStringLiteral("rbASCII"), QStringLiteral("&ASCII"));
    m_rbHex = namedRadio(this, QStringLiteral("rbHex"), QStringLiteral("&Hex"));
    m_rbAscii->setChecked(true);
    connect(m_rbAscii, &QRadioButton::clicked, this, [this]() { setHex(false); });
    connect(m_rbHex, &QRadioButton::clicked, this, [this]() { setHex(true); });
    auto* font = namedButton(this, QStringLiteral("btFont"), QStringLiteral("Fo&nt"));
    auto* setup = namedButton(this, QStringLiteral("btPrintSetup"), QStringLiteral("P&rint setup"));
    auto* print = namedButton(this, QStringLiteral("btPrint"), QStringLiteral("&Print"));
    m_btStrings =
        namedButton(this, QStringLiteral("btStrings"), QStringLiteral("Pee&k at strings"));
    auto* close = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    connect(font, &QPushButton::clicked, this, &TfrmView::FontClick);
    connect(setup, &QPushButton::clicked, this, &TfrmView::PrintSetupClick);
    connect(print, &QPushButton::clicked, this, &TfrmView::PrintClick);
    connect(m_btStrings, &QPushButton::clicked, this, &TfrmView::btStringsClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(m_rbAscii);
    row->addWidget(m_rbHex);
    row->addStretch();
    for (QPushButton* b : {font, setup, print, m_btStrings, close}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    return row;
}

QAction* TfrmView::action(const QString& name) const {
    return m_actions.value(name);
}

QStringList TfrmView::statusTexts() const {
    QStringList texts;
    for (const QLabel* section : m_header)
        texts << section->text();
    return texts;
}

void TfrmView::loadFile(const QString& fileName) {
    m_fileName = fileName;
    if (!m_viewer->openFile(fileName))
        msgbox::errorBox(QStringLiteral("Could not open file ") + fileName);
    ViewerStatus();
}

void TfrmView::openFile(const QString& fileName) {
    loadFile(fileName);
    setWindowTitle(QStringLiteral("View File : ") + fileName);
    updateMenus();
}

void TfrmView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    setWindowTitle(QStringLiteral("View File : ") + m_fileName);
    updateMenus();
    placement::restore(this, PlacementWindow::Viewer);
    m_viewer->setFocus();
}

void TfrmView::done(int result) {
    if (isVisible())
        placement::store(this, PlacementWindow::Viewer);
    QDialog::done(result);
}

void TfrmView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void TfrmView::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // The caption keeps its text.
    loadFile(urls.first().toLocalFile());
    updateMenus();
    if (window()->isMinimized())
        window()->showNormal();
    raise();
    activateWindow();
}

void TfrmView::ViewerStatus() {
    const qint64 line = m_viewer->caretLine();
    const QString position = (line < 0 ? QStringLiteral("?") : QString::number(line + 1)) +
                             QLatin1Char(':') + QString::number(m_viewer->caretColumn() + 1);
    const qint64 count = m_viewer->lineCount();
    const qint64 top = m_viewer->topLine();
    m_header[0]->setText(position.rightJustified(8));
    m_header[1]->setText(QStringLiteral("Total: ") +
                         (count < 0 ? QStringLiteral("?") : FormatThousands(count)));
    m_header[2]->setText(QStringLiteral("Top: ") + paddedNumber(top < 0 ? -1 : top + 1, 5));
    m_header[3]->setText(QStringLiteral("Bytes: ") + FormatThousands(m_viewer->fileSize()));
    m_header[4]->setText(QString());
    m_actions.value("ClipboardCopy")->setEnabled(m_viewer->hasSelection());
}

void TfrmView::updateMenus() {
    // While the lines are being counted the file has lines when it has bytes.
    const bool lines = m_viewer->fileSize() > 0;
    m_actions.value("FilePrint")->setEnabled(lines);
    m_actions.value("ClipboardCopy")->setEnabled(m_viewer->hasSelection());
    m_actions.value("ClipboardSelectAll")->setEnabled(lines);
    m_actions.value("SearchFind")->setEnabled(lines);
    m_actions.value("SearchGoToLine")->setEnabled(lines);
    m_actions.value("SearchFindNext")->setEnabled(lines && !m_find.searchText().isEmpty());
    m_actions.value("OptionsHexMode")->setChecked(m_viewer->hexMode());
}

void TfrmView::setHex(bool on) {
    m_viewer->setHexMode(on);
    m_actions.value("OptionsHexMode")->setChecked(on);
    (on ? m_rbHex : m_rbAscii)->setChecked(true);
}

void TfrmView::HexModeClick() {
    setHex(!m_viewer->hexMode());
}

void TfrmView::FileOpenClick() {
    const QString chosen = viewerprompts::openFileName(this);
    if (!chosen.isEmpty())
        openFile(chosen);
}

void TfrmView::PrintSetupClick() {
    viewerprompts::printSetup(this, &m_printer);
}

void TfrmView::PrintClick() {
    bool selection = false;
    if (!viewerprompts::printDialog(this, &m_printer, m_viewer->hasSelection(), &selection))
        return;
    if (!selection) {
        WaitCursor wait;
        m_viewer->countLines();
    }
    printViewerLines(m_printer, m_viewer->font(), *m_viewer, selection);
}

void TfrmView::search(bool global, bool fromDialog) {
    const QString text = m_find.searchText();
    bool found = false;
    {
        WaitCursor wait;
        found = m_viewer->find(text, m_find.backward(), m_find.matchCase(), global && fromDialog);
    }
    if (!found)
        msgbox::infoBox(QStringLiteral("Search string '") + text + QStringLiteral("' not found"));
    updateMenus();
}

void TfrmView::FindClick() {
    if (m_find.exec() == QDialog::Accepted)
        search(m_find.global(), true);
}

void TfrmView::FindNextClick() {
    search(false, false);
}

void TfrmView::GoToLineClick() {
    {
        WaitCursor wait;
        m_viewer->countLines();
    }
    const viewerprompts::TextAnswer answer =
        viewerprompts::inputBox(this, QStringLiteral("Go to line number"),
                                QStringLiteral("Enter line number (1 to ") +
                                    QString::number(m_viewer->lineCount()) + QLatin1Char(')'),
                                QString());
    bool number = false;
    const qint64 n = answer.text.trimmed().toLongLong(&number);
    if (answer.ok && number)
        m_viewer->goToLine(n - 1);
}

void TfrmView::TabSizeClick() {
    const viewerprompts::TextAnswer answer =
        viewerprompts::inputBox(this, QStringLiteral("Tab Size"), QStringLiteral("Enter tab size"),
                                QString::number(m_viewer->tabSize()));
    bool number = false;
    const int size = answer.text.trimmed().toInt(&number);
    if (answer.ok && number && size > 0)
        m_viewer->setTabSize(size);
}

void TfrmView::FontClick() {
    QFont font = m_viewer->font();
    if (viewerprompts::chooseFixedFont(this, &font))
        m_viewer->setViewerFont(font);
}

void TfrmView::btStringsClick() {
    QString temporary;
    {
        WaitCursor wait;
        QString error;
        temporary = platform::createTemporaryFile(QStringLiteral("str"), &error);
        if (temporary.isEmpty()) {
            msgbox::errorBox(QStringLiteral("Could not create a temporary file: ") + error);
            return;
        }
        const Result<> result = browse::extractStrings(m_fileName, temporary);
        if (!result)
            msgbox::errorBox(result.message());
    }
    {
        TfrmView strings(this, m_find, temporary, Kind::Strings);
        strings.exec();
    }
    if (!QFile::remove(temporary))
        msgbox::errorBox(QStringLiteral("Could not delete file ") + temporary);
}

void viewFile(QWidget* owner, TfrmFind& find, const QString& path) {
    TfrmView view(owner, find, path);
    view.exec();
}
