// The pages of the statistics window: their controls and layout.
#include "app/gridmodel.h"
#include "app/ui/columnfit.h"
#include "app/ui/widgets.h"
#include "scan/ui/drivechecklist.h"
#include "stats/ui/frmstatistics.h"
#include "stats/ui/statchart.h"

#include <QAction>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel* boldLabel(QWidget* parent, const QString& name, const QString& text, int growPoints = 0) {
    QLabel* l = namedLabel(parent, name, text);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + growPoints);
    l->setFont(f);
    return l;
}

// The small "note" button of a page (SpeedButton1..5).
QToolButton* noteButton(QWidget* parent, int number) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
    b->setIcon(parent->style()->standardIcon(QStyle::SP_MessageBoxInformation));
    b->setToolTip(QStringLiteral("Note"));
    return b;
}

QLineEdit* readOnlyField(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
}

} // namespace

QTableView* TfrmStatistics::makeGridView(QWidget* parent, const QString& name, TextGrid& grid,
                                         GridModel** model, const QList<int>& widths) {
    *model = new GridModel(&grid, this);
    for (int c = 1; c < grid.columnCount(); ++c)
        (*model)->setRightAligned(c);
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(*model);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setWordWrap(false);
    for (int c = 0; c < widths.size(); ++c)
        view->setColumnWidth(c, widths[c]);
    view->horizontalHeader()->setStretchLastSection(true);
    // The right-aligned columns hold sizes and counts: each new fill widens them to their texts.
    const GridModel* shown = *model;
    fitColumnsOnEveryFill(view, [shown] {
        QList<int> numbers;
        for (int c = 0; c < shown->columnCount(); ++c)
            if (shown->isRightAligned(c))
                numbers << c;
        return numbers;
    });
    return view;
}

QWidget* TfrmStatistics::viewChoice(QWidget* parent, const QString& name,
                                    const QStringList& captions, int checked,
                                    std::vector<QRadioButton*>& buttons) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(2);
    for (int i = 0; i < captions.size(); ++i) {
        QRadioButton* b = namedRadio(box, name + QString::number(i), captions[i]);
        b->setChecked(i == checked);
        column->addWidget(b);
        buttons.push_back(b);
    }
    column->addStretch(1);
    return box;
}

QWidget* TfrmStatistics::buildSpacePage() {
    auto* page = new QWidget();
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout();
    m_pckStatDrive = new DriveCheckList(page);
    m_pckStatDrive->setObjectName(QStringLiteral("pckStatDrive"));
    m_pckStatDrive->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const bool tick : {true, false}) {
        auto* item = new QAction(
            tick ? QStringLiteral("Select All") : QStringLiteral("Deselect All"), m_pckStatDrive);
        item->setObjectName(tick ? QStringLiteral("SelectAll1") : QStringLiteral("DeselectAll1"));
        m_pckStatDrive->addAction(item);
        connect(item, &QAction::triggered, this, [this, tick] {
            for (int r = 0; r < m_pckStatDrive->count(); ++r)
                m_pckStatDrive->setTicked(r, tick);
            doDiskSize();
        });
    }
    left->addWidget(m_pckStatDrive, 1);

    auto* figures = new QGridLayout();
    const char* const captions[] = {"Total Capacity:", "Free Space:", "Used Space:"};
    const char* const names[] = {"lblTotal", "lblFree", "lblUsed"};
    for (int i = 0; i < 3; ++i) {
        m_spaceCaptions[size_t(i)] = namedLabel(page, QStringLiteral("lblCaption%1").arg(i + 1),
                                                QString::fromLatin1(captions[i]));
        m_spaceFigures[size_t(i)] = boldLabel(page, QString::fromLatin1(names[i]), QString());
        m_spaceFigures[size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures->addWidget(m_spaceCaptions[size_t(i)], i, 1);
        figures->addWidget(m_spaceFigures[size_t(i)], i, 2);
    }
    for (int i = 0; i < 2; ++i) {
        QLabel* key = namedLabel(
            page, i == 0 ? QStringLiteral("shpFree") : QStringLiteral("shpUsed"), QString());
        key->setFixedSize(14, 14);
        key->setStyleSheet(i == 0
                               ? QStringLiteral("background: #ff00ff; border: 1px solid black;")
                               : QStringLiteral("background: #0000ff; border: 1px solid black;"));
        figures->addWidget(key, i + 1, 0);
        m_spaceKeys[size_t(i)] = key;
    }
    left->addLayout(figures);
    left->addWidget(viewChoice(page, QStringLiteral("rgSpace"),
                               {QStringLiteral("Bar - totals"), QStringLiteral("Pie - percent")}, 0,
                               m_rgSpace));
    layout->addLayout(left);

    auto* right = new QVBoxLayout();
    m_chartSpaceBar = statchart::makeChartView(page, QStringLiteral("chartSpaceBar"));
    m_chartSpacePie = statchart::makeChartView(page, QStringLiteral("chartSpacePie"));
    m_chartSpacePie->hide();
    m_scrollBar1 = new QScrollBar(Qt::Horizontal, page);
    m_scrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    m_scrollBar1->setRange(0, 360);
    m_scrollBar1->setPageStep(5);
    m_scrollBar1->hide();
    right->addWidget(m_chartSpaceBar, 1);
    right->addWidget(m_chartSpacePie, 1);
    right->addWidget(m_scrollBar1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TfrmStatistics::buildDeletedPage() {
    auto* page = new QWidget();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(boldLabel(page, QStringLiteral("lblHeading"),
                                QStringLiteral("Files processed by Vastel 95"), 4),
                      0, Qt::AlignHCenter);
    auto* grid = new QGridLayout();
    const char* const titles[] = {"Deleted files", "Zipped files", "Files sent to the recycle bin"};
    const char* const names[] = {"edDeleted",    "edDeletedSize", "edZipped",
                                 "edZippedSize", "edRecycled",    "edRecycledSize"};
    m_lblSince1 = namedLabel(page, QStringLiteral("lblSince1"), QString());
    m_lblZipSince = namedLabel(page, QStringLiteral("lblZipSince"), QString());
    for (int row = 0; row < 3; ++row) {
        QGroupBox* box = new QGroupBox(QString::fromLatin1(titles[row]), page);
        auto* line = new QHBoxLayout(box);
        for (int k = 0; k < 2; ++k) {
            QLineEdit* e = readOnlyField(box, QString::fromLatin1(names[row * 2 + k]));
            m_deletedFields[size_t(row * 2 + k)] = e;
            line->addWidget(e, 1);
        }
        if (row < 2)
            line->addWidget(row == 0 ? m_lblSince1 : m_lblZipSince, 1);
        else
            line->addStretch(1);
        grid->addWidget(box, row, 0);
    }
    layout->addLayout(grid);
    m_button1 = namedButton(page, QStringLiteral("Button1"), QStringLiteral("Reset these numbers"));
    m_button1->setAutoDefault(false);
    layout->addWidget(m_button1, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(m_button1, &QPushButton::clicked, this, &TfrmStatistics::Button1Click);
    return page;
}

QWidget* TfrmStatistics::buildTypesPage() {
    auto* page = new QWidget();
    auto* layout = new QHBoxLayout(page);
    m_typeGrid.setHeader(stats::typeGridHeaders());
    m_gridTypes = makeGridView(page, QStringLiteral("gridTypes"), m_typeGrid, &m_typeModel,
                               {80, 219, 114, 80, 87});
    m_typeModel->setRightAligned(stats::tcType, false);
    m_gridTypes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gridTypes->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gridTypes->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_gridTypes->setToolTip(QStringLiteral("Right click on grid to sort"));
    m_gridTypes->setContextMenuPolicy(Qt::CustomContextMenu);

    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const char* const captions[] = {"Sort by &Extension", "Sort by &Type", "Sort by &Size",
                                    "Sort by &Number of files", "Sort by &Average File Size"};
    const char* const names[] = {"SortbyExtension", "SortbyType", "SortbySize", "SortbyNumber",
                                 "SortbyAverage"};
    for (int i = 0; i < 5; ++i) {
        QAction* item = namedMenuItem(m_sortMenu, QString::fromLatin1(names[i]),
                                      QString::fromLatin1(captions[i]));
        item->setCheckable(true);
        item->setChecked(i == 0);
        m_sortItems[size_t(i)] = item;
        connect(item, &QAction::triggered, this,
                [this, i] { SortbyExtensionClick(stats::TypeSort(i)); });
    }
    connect(m_gridTypes, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_sortMenu->popup(m_gridTypes->viewport()->mapToGlobal(at));
    });

    m_chartTypes = statchart::makeChartView(page, QStringLiteral("chartTypes"));
    auto* stack = new QVBoxLayout();
    stack->addWidget(m_gridTypes, 1);
    stack->addWidget(m_chartTypes, 1);
    m_scrollBar2 = new QScrollBar(Qt::Horizontal, page);
    m_scrollBar2->setObjectName(QStringLiteral("ScrollBar2"));
    m_scrollBar2->setRange(0, 360);
    m_scrollBar2->setPageStep(5);
    stack->addWidget(m_scrollBar2);
    layout->addLayout(stack, 1);

    auto* side = new QVBoxLayout();
    side->addWidget(
        viewChoice(page, QStringLiteral("rgTypes"),
                   {QStringLiteral("Listing"), QStringLiteral("Pie by Size"),
                    QStringLiteral("Pie by # Files"), QStringLiteral("Pie by Average Size")},
                   1, m_rgTypes));
    m_btSort = new QToolButton(page);
    m_btSort->setObjectName(QStringLiteral("btSort"));
    m_btSort->setText(QStringLiteral("&Sort"));
    m_btSort->setMenu(m_sortMenu);
    m_btSort->setPopupMode(QToolButton::InstantPopup);
    side->addWidget(m_btSort);
    side->addStretch(1);
    layout->addLayout(side);
    return page;
}

QWidget* TfrmStatistics::buildSizesPage() {
    auto* page = new QWidget();
    auto* layout = new QHBoxLayout(page);
    m_gridSizes =
        makeGridView(page, QStringLiteral("gridSizes"), m_sizeGrid, &m_sizeModel, {194, 189, 140});
    stats::fillGridSizes(m_sizeGrid, m_empty);
    m_chartSizes = statchart::makeChartView(page, QStringLiteral("chartSizes"));
    auto* stack = new QVBoxLayout();
    stack->addWidget(m_gridSizes, 1);
    stack->addWidget(m_chartSizes, 1);
    layout->addLayout(stack, 1);
    layout->addWidget(
        viewChoice(page, QStringLiteral("rgSizes"),
                   {QStringLiteral("Listing"), QStringLiteral("Chart by Size (in MB)"),
                    QStringLiteral("Chart by Number of Files")},
                   1, m_rgSizes),
        0, Qt::AlignTop);
    return page;
}

QWidget* TfrmStatistics::buildDatePage(int index) {
    static const char* const grids[] = {"gridAccess", "gridCreate", "gridModify", "gridCombine"};
    static const char* const charts[] = {"chartAccess", "chartCreate", "chartModify",
                                         "chartCombine"};
    static const char* const choices[] = {"rgAccess", "rgCreate", "rgModify", "rgCombine"};
    auto* page = new QWidget();
    auto* layout = new QHBoxLayout(page);
    const QList<int> widths =
        index == 3 ? QList<int>{119, 97, 78, 86, 71, 85, 72} : QList<int>{194, 189, 140};
    m_dateViews[size_t(index)] =
        makeGridView(page, QString::fromLatin1(grids[index]), m_dateGrids[size_t(index)],
                     &m_dateModels[size_t(index)], widths);
    m_dateCharts[size_t(index)] =
        statchart::makeChartView(page, QString::fromLatin1(charts[index]));
    auto* stack = new QVBoxLayout();
    stack->addWidget(m_dateViews[size_t(index)], 1);
    stack->addWidget(m_dateCharts[size_t(index)], 1);
    layout->addLayout(stack, 1);
    auto* side = new QVBoxLayout();
    side->addWidget(viewChoice(page, QString::fromLatin1(choices[index]),
                               {QStringLiteral("Listing"), QStringLiteral("Chart by Size (in MB)"),
                                QStringLiteral("Chart by Number of Files")},
                               1, m_rgDates[size_t(index)]));
    QToolButton* note = noteButton(page, index + 1);
    connect(note, &QToolButton::clicked, this, [this, index] { showNote(index + 1); });
    side->addWidget(note, 0, Qt::AlignRight);
    side->addStretch(1);
    layout->addLayout(side);
    return page;
}

QWidget* TfrmStatistics::buildAttributePage() {
    auto* page = new QWidget();
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout();
    const char* const headers[] = {"% of total # files", "# Files", "% of total size",
                                   "File Sizes"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(boldLabel(page, QStringLiteral("lblAttrHead%1").arg(c + 1),
                                  QString::fromLatin1(headers[c])),
                        0, c + 1, Qt::AlignCenter);
    const char* const rows[] = {"Hidden", "Read-only", "System", "Archive"};
    // Rows top to bottom: hidden, read-only, system, archive (the tallies' order).
    for (int r = 0; r < 4; ++r) {
        grid->addWidget(
            boldLabel(page, QStringLiteral("lblAttr%1").arg(r + 1), QString::fromLatin1(rows[r])),
            r + 1, 0);
        m_attrCounts[size_t(r)] =
            namedLabel(page, QStringLiteral("lblAttrFiles%1").arg(r + 1), QString());
        m_attrBytes[size_t(r)] =
            namedLabel(page, QStringLiteral("lblAttrSize%1").arg(r + 1), QString());
        m_attrCounts[size_t(r)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_attrBytes[size_t(r)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(m_attrCounts[size_t(r)], r + 1, 2);
        grid->addWidget(m_attrBytes[size_t(r)], r + 1, 4);
        grid->setRowMinimumHeight(r + 1, 48);
    }
    m_chartAttrFiles = statchart::makeChartView(page, QStringLiteral("chartAttrFiles"));
    m_chartAttrSize = statchart::makeChartView(page, QStringLiteral("chartAttrSize"));
    for (QChartView* v : {m_chartAttrFiles, m_chartAttrSize}) {
        v->chart()->setMargins(QMargins(0, 0, 0, 0));
        v->setMinimumWidth(150);
    }
    grid->addWidget(m_chartAttrFiles, 1, 1, 4, 1);
    grid->addWidget(m_chartAttrSize, 1, 3, 4, 1);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid, 1);
    layout->addWidget(namedLabel(page, QStringLiteral("lblAttrNote"),
                                 QStringLiteral("Note it is possible that some files may have more "
                                                "than one attribute set.  For example many system "
                                                "files are also hidden."),
                                 true));
    return page;
}

QWidget* TfrmStatistics::buildTimePage() {
    auto* page = new QWidget();
    auto* layout = new QHBoxLayout(page);
    m_chartTime = statchart::makeChartView(page, QStringLiteral("chartTime"));
    layout->addWidget(m_chartTime, 1);
    QToolButton* note = noteButton(page, 5);
    connect(note, &QToolButton::clicked, this, [this] { showNote(5); });
    layout->addWidget(note, 0, Qt::AlignTop);
    return page;
}

QWidget* TfrmStatistics::buildOverhangPage() {
    auto* page = new QWidget();
    m_pageOverhang = page;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(boldLabel(page, QStringLiteral("lblOverhangHeading"),
                                QStringLiteral("Cluster overhang for FAT and FAT32 drives"), 2),
                      0, Qt::AlignHCenter);
    auto* table = new QGridLayout();
    table->setVerticalSpacing(2);
    const char* const headers[] = {"FAT Partion size", "FAT 32 Size", "Cluster size",
                                   "Percent wasted", "Wasted space"};
    for (int c = 0; c < 5; ++c)
        table->addWidget(boldLabel(page, QStringLiteral("lblOverHead%1").arg(c + 1),
                                   QString::fromLatin1(headers[c])),
                         0, c + 1);
    const char* const rows[5][3] = {{"255 MB", "Less than 8GB", "4K"},
                                    {"256 MB - 511 MB", "Less than 16GB", "8K"},
                                    {"512 MB - 1023 MB", "Less than 32GB", "16K"},
                                    {"1 GB - 2 GB", "32GB or more", "32K"},
                                    {"2 GB - 4 GB", "", "64K"}};
    const QPixmap arrow = style()->standardIcon(QStyle::SP_ArrowRight).pixmap(16, 16);
    for (int r = 0; r < 5; ++r) {
        QLabel* a = namedLabel(page, QStringLiteral("imgArrow%1").arg(r + 1), QString());
        a->setPixmap(arrow);
        a->setFixedWidth(18);
        a->hide();
        m_arrows[size_t(r)] = a;
        table->addWidget(a, r + 1, 0);
        for (int c = 0; c < 3; ++c)
            table->addWidget(namedLabel(page, QStringLiteral("lblOver%1_%2").arg(r + 1).arg(c + 1),
                                        QString::fromLatin1(rows[r][c])),
                             r + 1, c + 1);
        m_wasteLabels[size_t(r)] =
            namedLabel(page, QStringLiteral("lblWaste%1").arg(r + 1), QString());
        m_wasteLabels[size_t(r)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->addWidget(m_wasteLabels[size_t(r)], r + 1, 5);
        table->setRowMinimumHeight(r + 1, 22);
    }
    m_chartOverhang = statchart::makeChartView(page, QStringLiteral("chartOverhang"));
    m_chartOverhang->chart()->setMargins(QMargins(0, 0, 0, 0));
    m_chartOverhang->setMinimumWidth(140);
    table->addWidget(m_chartOverhang, 1, 4, 5, 1);
    table->setColumnStretch(4, 1);
    layout->addLayout(table);

    auto* lower = new QHBoxLayout();
    m_pnlSummary = new QFrame(page);
    m_pnlSummary->setObjectName(QStringLiteral("pnlSummary"));
    m_pnlSummary->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* summary = new QGridLayout(m_pnlSummary);
    summary->addWidget(namedLabel(m_pnlSummary, QStringLiteral("lblTotalCaption"),
                                  QStringLiteral("Total file sizes:")),
                       0, 0);
    m_lblTotalSizes = boldLabel(m_pnlSummary, QStringLiteral("lblTotalSizes"), QString());
    summary->addWidget(m_lblTotalSizes, 0, 1);
    m_lblNumFiles = namedLabel(m_pnlSummary, QStringLiteral("lblNumFiles"), QString());
    summary->addWidget(m_lblNumFiles, 1, 0, 1, 2);
    m_lblActual = namedLabel(m_pnlSummary, QStringLiteral("lblActual"), QString());
    summary->addWidget(m_lblActual, 2, 0, 1, 2);
    m_pnlNotApplicable = namedLabel(m_pnlSummary, QStringLiteral("pnlNotApplicable"),
                                    QStringLiteral("Cluster overhang analysis is not applicable to "
                                                   "this drive."),
                                    true);
    m_pnlNotApplicable->setStyleSheet(QStringLiteral("color: #800000;"));
    m_pnlNotApplicable->hide();
    summary->addWidget(m_pnlNotApplicable, 3, 0, 1, 2);
    m_pnlSummary->hide();
    lower->addWidget(m_pnlSummary, 1);
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setPlainText(QStringLiteral(
        "The arrow points to the cluster size of the drive that was scanned; the other rows show "
        "what the same files would waste with other cluster sizes.  Every file takes whole "
        "clusters, so even a file of one byte takes a whole cluster, and the larger the "
        "partition, the larger its clusters and the more space is wasted.  Repartitioning into "
        "smaller drives, disk compression or FAT32 help to win it back."));
    lower->addWidget(memo, 2);
    layout->addLayout(lower, 1);
    return page;
}
