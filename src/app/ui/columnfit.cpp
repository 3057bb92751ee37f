#include "app/ui/columnfit.h"

#include "app/gridmodel.h"
#include "app/ui/widgets.h"

#include <QAbstractItemDelegate>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>
#include <array>
#include <vector>

namespace {

const QString kCacheName = QStringLiteral("columnTextWidths");

// The widths the texts of a view's columns need, as long as the model's rows and texts and the
// view's font stay as they were when they were measured.
class ColumnTextWidths : public QObject {
public:
    explicit ColumnTextWidths(QTableView* view) : QObject(view) { setObjectName(kCacheName); }

    // The answers so far, forgotten when the view shows another model or another font.
    QHash<int, int>& widthsFor(QAbstractItemModel* model, const QString& fontKey) {
        if (model != m_model) {
            if (m_model)
                disconnect(m_model.data(), nullptr, this, nullptr);
            m_model = model;
            const auto forget = [this] { m_widths.clear(); };
            connect(model, &QAbstractItemModel::modelReset, this, forget);
            connect(model, &QAbstractItemModel::layoutChanged, this, forget);
            connect(model, &QAbstractItemModel::rowsInserted, this, forget);
            connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
            connect(model, &QAbstractItemModel::headerDataChanged, this, forget);
            connect(model, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                        if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                            m_widths.clear();
                    });
            m_widths.clear();
        }
        if (fontKey != m_fontKey) {
            m_fontKey = fontKey;
            m_widths.clear();
        }
        return m_widths;
    }

private:
    QPointer<QAbstractItemModel> m_model; // null once the model is gone
    QString m_fontKey;
    QHash<int, int> m_widths;
};

ColumnTextWidths* cacheOf(QTableView* view) {
    auto* cache = static_cast<ColumnTextWidths*>(
        view->findChild<QObject*>(kCacheName, Qt::FindDirectChildrenOnly));
    return cache ? cache : new ColumnTextWidths(view);
}

// A quick estimate of a text's width: the sum of its characters' advances, from a table for
// the characters of sizes and dates and the font's widest character for any other.
class WidthEstimate {
public:
    explicit WidthEstimate(const QFontMetrics& metrics) : m_other(metrics.maxWidth()) {
        for (int c = 0; c < kTable; ++c)
            m_ascii[size_t(c)] = metrics.horizontalAdvance(QChar(c));
    }
    int operator()(QStringView text) const {
        int width = 0;
        for (const QChar c : text)
            width += c.unicode() < kTable ? m_ascii[c.unicode()] : m_other;
        return width;
    }

private:
    static constexpr int kTable = 128;
    std::array<int, kTable> m_ascii{};
    int m_other;
};

// The model rows of the column's texts that are widest by estimate, a few distinct texts.
std::vector<int> widestRows(const QAbstractItemModel* model, int column,
                            const WidthEstimate& estimate) {
    constexpr size_t kMeasured = 4;
    struct Candidate {
        int estimate;
        int row;
        QString text;
    };
    std::vector<Candidate> best; // widest first
    const auto* grid = qobject_cast<const GridModel*>(model);
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QString copy = grid ? QString() : model->index(row, column).data().toString();
        const QStringView text =
            grid ? grid->grid()->cellView(column, GridModel::gridRow(row)) : QStringView(copy);
        const int width = estimate(text);
        if (best.size() == kMeasured && width <= best.back().estimate)
            continue;
        if (std::any_of(best.begin(), best.end(),
                        [&](const Candidate& c) { return c.text == text; }))
            continue;
        if (best.size() == kMeasured)
            best.pop_back();
        const auto at = std::find_if(best.begin(), best.end(),
                                     [&](const Candidate& c) { return c.estimate < width; });
        best.insert(at, Candidate{width, row, text.toString()});
    }
    std::vector<int> found;
    for (const Candidate& c : best)
        found.push_back(c.row);
    return found;
}

// The width a column needs for its header's caption and its widest texts, as the view's item
// delegate lays them out (margins and all), plus the grid line.
int neededWidth(QTableView* view, int column) {
    const QAbstractItemModel* model = view->model();
    int width = view->horizontalHeader()->sectionSizeHint(column);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = view->font();
    option.fontMetrics = view->fontMetrics();
    option.widget = view;
    const int gridLine = view->showGrid() ? 1 : 0;
    for (const int row : widestRows(model, column, WidthEstimate(view->fontMetrics()))) {
        const QModelIndex index = model->index(row, column);
        QAbstractItemDelegate* delegate = view->itemDelegateForIndex(index);
        width = std::max(width, delegate->sizeHint(option, index).width() + gridLine);
    }
    return width;
}

} // namespace

void fitColumnsToText(QTableView* view, const QList<int>& columns) {
    QAbstractItemModel* model = view->model();
    if (!model)
        return;
    QHash<int, int>& widths = cacheOf(view)->widthsFor(model, view->font().key());
    for (const int column : columns) {
        if (column < 0 || column >= model->columnCount())
            continue;
        auto known = widths.constFind(column);
        if (known == widths.cend())
            known = widths.insert(column, neededWidth(view, column));
        if (view->columnWidth(column) < known.value())
            view->setColumnWidth(column, known.value());
    }
}

double setDesignedColumnWidths(QTableView* view, const int* widths, int count,
                               const QList<int>& fitted) {
    const double scale = columnWidthScale(view);
    for (int c = 0; c < count; ++c)
        view->setColumnWidth(c, qRound(widths[c] * scale));
    fitColumnsToText(view, fitted);
    return scale;
}

void fitColumnsOnEveryFill(QTableView* view, std::function<QList<int>()> columns) {
    QAbstractItemModel* model = view->model();
    if (!model)
        return;
    // The measured widths are forgotten on a reset before the fit asks for them again.
    cacheOf(view)->widthsFor(model, view->font().key());
    QObject::connect(model, &QAbstractItemModel::modelReset, view,
                     [view, columns] { fitColumnsToText(view, columns()); });
}
