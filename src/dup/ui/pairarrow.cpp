#include "dup/ui/pairarrow.h"

#include <QPainter>
#include <QPainterPath>

PairArrow::PairArrow(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    setToolTip(QStringLiteral("Arrow points to most recent entry"));
    setFixedSize(sizeHint());
    hide();
}

QSize PairArrow::sizeHint() const {
    return {28, 14};
}

void PairArrow::setArrow(dups::Arrow arrow) {
    m_arrow = arrow;
    setVisible(arrow != dups::Arrow::None);
    update();
}

void PairArrow::paintEvent(QPaintEvent*) {
    if (m_arrow == dups::Arrow::None)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0, 0, 128);
    const qreal w = width(), h = height(), mid = h / 2.0;
    if (m_arrow == dups::Arrow::Equal) {
        p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::FlatCap));
        const qreal left = w * 0.25, right = w * 0.75;
        p.drawLine(QPointF(left, mid - 2.5), QPointF(right, mid - 2.5));
        p.drawLine(QPointF(left, mid + 2.5), QPointF(right, mid + 2.5));
        return;
    }
    // A shaft and a filled head, drawn pointing right and mirrored for the left.
    if (m_arrow == dups::Arrow::Left) {
        p.translate(w, 0);
        p.scale(-1, 1);
    }
    const qreal head = h * 0.8;
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, mid), QPointF(w - head, mid));
    QPainterPath tip;
    tip.moveTo(w - 2, mid);
    tip.lineTo(w - 2 - head, mid - h * 0.4);
    tip.lineTo(w - 2 - head, mid + h * 0.4);
    tip.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(tip);
}
