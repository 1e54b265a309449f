#pragma once
// The program's window: the settings in editable controls, a menu bar and a
// tool bar of commands, and a status line that follows the sweep. It is
// built once from the layout table and run modally with exec().
//
// Every command is reachable from its button or menu item; nothing is ever
// disabled. Enter and Escape do nothing anywhere in the window, so neither
// can end it by accident.

#include <QDialog>
#include <QTimer>

#include <map>
#include <string>
#include <vector>

#include "config/GatherRules.h"
#include "ui/qt/FieldExchange.h"
#include "ui/core/RunControl.h"

class LabelCtrl;
class QAction;
class QMenuBar;
class StatusChannel;
class SweepSettings;
class WorkerThread;

inline constexpr const char* SavedText = "配置文件保存成功";
inline constexpr const char* ChooseDirectoryTitle = "请选择需要处理的目录";
inline constexpr const char* StopQuestion = "操作尚未完成，真的需要停止吗？";
inline constexpr const char* ExitQuestion = "操作尚未完成，真的需要退出吗？";

class MainDialog : public QDialog {
    Q_OBJECT
public:
    // `programDir` ends in a separator; vorn.ini is written there.
    MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string programDir,
               QWidget* parent = nullptr);

    // Controls to fields, the gathering rules, then vorn.ini. False, with
    // LastError() saying why, when the settings were refused or not written.
    // A days box that cannot be read stops the transfer there (the user is
    // told), and the gathering goes on with the fields' earlier values.
    bool GatherSettings();
    // What one tick of the progress timer does.
    void Tick();

    // The control with that template id, or nullptr.
    QWidget* Control(int id) const;
    // The menu item with that command id, or nullptr.
    QAction* MenuAction(int command) const;
    int RunState() const { return run.State(); }
    RunControl::Situation Situation() const { return run.Current(); }
    const std::string& LastError() const { return lastError; }
    const WindowFields& Fields() const { return fields; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildBody();
    QMenuBar* BuildMenuBar();
    void SetUpButtons();
    void SetUpStatusLine();
    std::vector<ExchangeStep> ExchangeSteps();
    bool Exchange(ExchangeDirection direction);
    void Command(int id);

    void Save();
    void Start();
    void Pause();
    void Stop();
    void Exit();
    void ChooseDirectory();
    void ShowAbout();
    void OpenWebsite();

    SweepSettings& settings;
    StatusChannel& channel;
    const std::string programDir;
    RunControl run;
    std::string lastError;
    WindowFields fields;
    std::map<int, QWidget*> controls;
    std::map<int, QAction*> actions;
    LabelCtrl* statusLine = nullptr;
    QTimer progressTimer;
};
