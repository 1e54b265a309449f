#pragma once
// The program's window on Qt: the settings in editable controls, a menu bar
// and a tool bar of commands, and a status line that follows the sweep. It
// is built once from the layout table and run modally with exec(); what its
// commands do is decided by MainDialogCore, which it shows.
//
// Every command is reachable from its button or menu item; nothing is ever
// disabled. Enter and Escape do nothing anywhere in the window, so neither
// can end it by accident.

#include <QDialog>
#include <QTimer>

#include <map>
#include <string>

#include "ui/core/MainDialogCore.h"
#include "ui/core/MainDialogView.h"

class LabelCtrl;
class QAction;
class QMenuBar;

class MainDialog : public QDialog, private MainDialogView {
    Q_OBJECT
public:
    // The settings are saved to the file at `settingsPath`.
    MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string settingsPath,
               QWidget* parent = nullptr);

    bool GatherSettings() { return core.GatherSettings(); }
    void Tick() { core.Tick(); }

    // The control with that template id, or nullptr.
    QWidget* Control(int id) const;
    // The menu item with that command id, or nullptr.
    QAction* MenuAction(int command) const;
    int RunState() const { return core.RunState(); }
    RunControl::Situation Situation() const { return core.Situation(); }
    const std::string& LastError() const { return core.LastError(); }
    const WindowFields& Fields() const { return core.Fields(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildBody();
    QMenuBar* BuildMenuBar();
    void SetUpButtons();

    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void FocusAndSelect(int id) override;
    void SetStatusColour(std::uint32_t rgb) override;
    void SetStatusText(const std::string& text) override;
    void Inform(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    void ShowAbout() override;
    void OpenAddress(const std::string& address) override;
    void Accept() override;

    MainDialogCore core;
    std::map<int, QWidget*> controls;
    std::map<int, QAction*> actions;
    LabelCtrl* statusLine = nullptr;
    QTimer progressTimer;
};
