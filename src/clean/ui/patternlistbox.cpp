#include "clean/ui/patternlistbox.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

namespace {

// Draws an item's text with its TAB expanded to the list's tab stops.
class TabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget* widget = item.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        QPalette::ColorGroup group = QPalette::Disabled;
        if (item.state & QStyle::State_Enabled)
            group = (item.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
        const QPalette::ColorRole role =
            (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
        layout.setWrapMode(QTextOption::NoWrap);
        // A dialog unit across is a quarter of the average character width.
        layout.setTabStopDistance(16.0 * item.fontMetrics.averageCharWidth() / 4.0);
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, role));
        painter->drawText(QRectF(area.adjusted(2, 0, -2, 0)), text, layout);
        painter->restore();
    }
};

} // namespace

QListWidget* patternListBox(QWidget* parent, const QString& name, const QString& hint) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setToolTip(hint);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(false); // the items come sorted
    list->setItemDelegate(new TabStopDelegate(list));
    return list;
}

void setPatternItems(QListWidget* list, const QStringList& items) {
    list->clear();
    list->addItems(items);
}
