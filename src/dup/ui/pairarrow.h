#pragma once

#include "dup/pairs.h"

#include <QWidget>

// The small picture between the two sides of the pair comparison that tells which file's date
// is the later one: an arrow pointing left or right, or an equals sign.  It is hidden when it
// has nothing to show (dups::Arrow::None).
class PairArrow : public QWidget {
    Q_OBJECT
public:
    PairArrow(QWidget* parent, const QString& name);

    void setArrow(dups::Arrow arrow);
    dups::Arrow arrow() const { return m_arrow; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    dups::Arrow m_arrow = dups::Arrow::None;
};
