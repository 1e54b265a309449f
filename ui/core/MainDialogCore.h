#pragma once
// Everything the main window decides, for any toolkit: what each command
// does in each run state, the transfer between controls and fields, the
// gathering and saving of the settings, what the closing questions are, and
// what one tick of the progress timer shows. The window routes its commands,
// its close request and its timer here, and implements MainDialogView.

#include <string>

#include "config/GatherRules.h"
#include "ui/core/FieldExchange.h"
#include "ui/core/RunControl.h"

class MainDialogView;
class StatusChannel;
class SweepSettings;
class WorkerThread;

inline constexpr const char* SavedText = "配置文件保存成功";
inline constexpr const char* ChooseDirectoryTitle = "请选择需要处理的目录";
inline constexpr const char* StopQuestion = "操作尚未完成，真的需要停止吗？";
inline constexpr const char* ExitQuestion = "操作尚未完成，真的需要退出吗？";
// The About entry appended to the system menu (its text is string 101).
inline constexpr int AboutSystemCommand = 16;

class MainDialogCore {
public:
    // The settings are saved to the file at `settingsPath`.
    MainDialogCore(MainDialogView& view, SweepSettings& settings, WorkerThread& worker, StatusChannel& channel,
                   std::string settingsPath);

    // Once, when the window's controls exist: the settings into the fields,
    // the fields into the controls.
    void Initialise();
    // A button or menu command; ids that name no command do nothing.
    void Command(int id);
    // A system-menu command: true when it was the About entry, which it then
    // handled; the window gives every other one its default handling.
    bool SystemCommand(int id);
    // The close box: true when the window may close (with Cancel, no transfer).
    bool MayClose();
    // What one tick of the progress timer does.
    void Tick();

    // Controls to fields, the gathering rules, then vorn.ini. False, with
    // LastError() saying why, when the settings were refused or not written.
    // A days box that cannot be read stops the transfer there (the user is
    // told), and the gathering goes on with the fields' earlier values.
    bool GatherSettings();
    const std::string& LastError() const { return lastError; }
    const WindowFields& Fields() const { return fields; }
    int RunState() const { return run.State(); }
    RunControl::Situation Situation() const { return run.Current(); }

private:
    bool Exchange(ExchangeDirection direction);
    void Save();
    void Start();
    void Pause();
    void Stop();
    void Exit();
    void ChooseDirectory();
    void ShowAbout();
    void OpenWebsite();

    MainDialogView& view;
    SweepSettings& settings;
    StatusChannel& channel;
    const std::string settingsPath;
    RunControl run;
    std::string lastError;
    WindowFields fields;
};
