#pragma once
// A main window over a real settings record, status channel and sweep job,
// with its program directory and the tree it sweeps in temporary folders.
// Boxes, the folder chooser and the browser are answered by the test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "ScriptedPrompts.h"
#include "support/HeldSweep.h"
#include "ui/qt/LabelCtrl.h"
#include "ui/qt/MainDialog.h"
#include "ui/core/MainTemplate.h"

class DialogFixture : public testing::Test, protected HeldSweep {
protected:

    void Open() {
        dialog = std::make_unique<MainDialog>(settings, job, channel, programDir.Dir() + SweepSettings::FileName);
        dialog->show();
    }

    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dialog->Control(id)); }
    QAbstractButton* Button(int id) const { return qobject_cast<QAbstractButton*>(dialog->Control(id)); }
    LabelCtrl* StatusLine() const { return qobject_cast<LabelCtrl*>(dialog->Control(MainIds::StatusLine)); }
    void Click(int id) const { Button(id)->click(); }
    void SetText(int id, const std::string& text) const { Edit(id)->setText(QString::fromUtf8(text.c_str())); }
    void Choose(int command) const { dialog->MenuAction(command)->trigger(); }
    std::string Ini() const { return TempDir::Read(programDir / SweepSettings::FileName); }

    // Serves the window's events (its timer among them) until `done` holds;
    // false when `limitMs` passed first.
    template <class Condition>
    static bool Eventually(Condition done, int limitMs = 10000) {
        const QDeadlineTimer deadline(limitMs);
        while (!done()) {
            if (deadline.hasExpired()) return false;
            QTest::qWait(10);
        }
        return true;
    }

    ScriptedPrompts prompts;
    std::unique_ptr<MainDialog> dialog;
};
