#pragma once

#include "app/ui/messagebox.h"

#include <QList>
#include <QStringList>

// Answers the program's message boxes during a test and records what they said.  Questions are
// answered from a queue (Yes when it is empty); OK boxes are simply acknowledged.
class ScriptedBoxes {
public:
    ScriptedBoxes() {
        msgbox::setHandler([this](const msgbox::Request& r) {
            shown.append(r);
            if (r.kind != msgbox::Kind::Question)
                return QMessageBox::Ok;
            if (answers.isEmpty())
                return QMessageBox::Yes;
            return answers.takeFirst();
        });
    }
    ~ScriptedBoxes() { msgbox::setHandler(nullptr); }
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

    QStringList texts() const {
        QStringList t;
        for (const msgbox::Request& r : shown)
            t << r.text;
        return t;
    }

    QList<msgbox::Request> shown;
    QList<QMessageBox::StandardButton> answers;
};
