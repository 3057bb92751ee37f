// The last-copy panel of the deletion window: the files kept so that each content handed over
// from groups of duplicates keeps a copy, and the user's explicit choice to dispose of them.

#include "app/ui/frmstandby.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/ui/frmreallydelete.h"

#include <QElapsedTimer>
#include <QListView>
#include <QProgressBar>
#include <QTabWidget>

void TfrmReallyDelete::setCopyGroups(const lastcopy::CopyGroups& copies) {
    m_copies = lastcopy::Guard(copies);
    m_lbLastCopy.clear();
    m_chosen.clear();
    m_pages->setTabVisible(m_pages->indexOf(m_pageLast), m_copies.active());
}

void TfrmReallyDelete::proveCopies() {
    TfrmStandBy* standBy = TfrmStandBy::instance();
    QProgressBar* waitBar = standBy->bar();
    // The bar follows the bytes read, in steps of 64 KiB.
    constexpr qint64 kStep = 64 * 1024;
    const qint64 steps = m_copies.listedBytes() / kStep + 1;
    setFileBarRange(waitBar, steps);
    standBy->show();
    standBy->repaint();
    dups::ContentOptions options;
    options.progress = [&](const dups::ContentProgress& done) {
        setFileBarPosition(waitBar, qMin(steps, done.bytesDone / kStep));
        standBy->repaint();
    };
    m_copies.prove(options);
    standBy->hide();
}

void TfrmReallyDelete::guardLastCopies() {
    if (!m_copies.active())
        return;
    // A choice holds only while its file is on the deletion panel.
    const QSet<QString> onPanel(m_lb1.cbegin(), m_lb1.cend());
    for (auto it = m_chosen.begin(); it != m_chosen.end();)
        it = onPanel.contains(*it) ? std::next(it) : m_chosen.erase(it);

    QStringList going = m_lb1 + m_lbLastCopy;
    const QStringList held = m_copies.holdBack(going, m_chosen);
    const QSet<QString> kept(held.cbegin(), held.cend());
    m_lb1.clear();
    for (QString& path : going)
        if (!kept.contains(path))
            m_lb1.append(std::move(path));
    sortPanel(m_lb1);
    m_lbLastCopy = held;
    sortPanel(m_lbLastCopy);
    m_lb1View->selectionModel()->clear();
    m_lbLastCopyView->selectionModel()->clear();
    refreshModels();
    updateLeftRight();
}

void TfrmReallyDelete::btDisposeAnywayClick() {
    const QStringList moved = moveSelected(m_lbLastCopyView, m_lbLastCopy, m_lb1);
    for (const QString& path : moved)
        m_chosen.insert(path);
    guardLastCopies();
    if (m_lbLastCopy.isEmpty())
        m_pages->setCurrentIndex(0);
}

void TfrmReallyDelete::btLastCopyReasonClick() {
    const QString path = currentEntry(m_lbLastCopyView, m_lbLastCopy);
    if (!path.isEmpty())
        msgbox::infoBox(disposalText::keptAsLastCopy(path, lastcopy::reasonText()));
}
